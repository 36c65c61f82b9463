// The popup menu, its commands and switching skins.
#ifndef TKP_CLOCKWIN_COMMANDS_H
#define TKP_CLOCKWIN_COMMANDS_H

#include <windows.h>

#include "../res/resource.h"

#define HELP_FILE_NAME TEXT("Tkpch12.hlp")
#define HELP_PAGE_NAME TEXT("Tkpch12.html")

// Where the menu was asked for: on the clock, or on its notification icon.
enum MenuPlace { MENU_ON_CLOCK, MENU_ON_TRAY_ICON };
void ShowPopupMenu(HWND clock, POINT screenPoint, UINT flags, MenuPlace place);
LRESULT OnRButtonUp(HWND clock, LPARAM lParam);
LRESULT OnTrayNotify(HWND clock, WPARAM wParam, LPARAM lParam);
LRESULT OnCommand(HWND clock, WPARAM wParam, LPARAM lParam);
LRESULT OnDropFiles(HWND clock, HDROP drop);
LRESULT OnPaint(HWND clock);

void RunMenuDialog(HWND clock, const TCHAR *templateName, DLGPROC procedure);
void ChangeDataFile(HWND clock);
// Loads another skin data file; on failure tells the user and keeps the
// skin in force. Returns 1 when the new skin is in force.
int ReplaceDataFile(HWND clock, const TCHAR *path);
void OpenHelp(HWND clock);

// filedialog.cpp: path needs CHOSEN_PATH_SIZE characters; title, when
// given, CHOSEN_TITLE_SIZE.
enum { CHOSEN_PATH_SIZE = 300, CHOSEN_TITLE_SIZE = 512 };
BOOL ChooseDataFile(HWND owner, TCHAR *path, TCHAR *title);
UINT_PTR CALLBACK DataFileDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
