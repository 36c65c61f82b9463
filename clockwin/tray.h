// The notification-area icon.
#ifndef TKP_CLOCKWIN_TRAY_H
#define TKP_CLOCKWIN_TRAY_H

#include <windows.h>

#include "clockwin.h"

enum { TRAY_ADD = 0, TRAY_DELETE = 1, TRAY_MODIFY = 2 };

// The clock's own icon.
#define TRAY_ICON_ID 1
#define TRAY_TIP TEXT("Tickperch")

// Adds, deletes or modifies the icon; the icon handle is always consumed.
// Returns the shell's result, or 0 for an unknown operation. The program
// itself only adds and deletes its own icon (ChangeClockTrayIcon).
BOOL ChangeTrayIcon(HWND window, int operation, UINT iconId, HICON icon, const TCHAR *tip, UINT callbackMessage);
BOOL NotifyTrayIcon(HWND window, DWORD action, UINT iconId, HICON icon, const TCHAR *tip, UINT callbackMessage);

// Adds (TRAY_ADD) or deletes (TRAY_DELETE) the clock's own icon: id 1, a
// fresh 16 x 16 program icon, the tip "Tickperch" and WM_TRAY_NOTIFY.
BOOL ChangeClockTrayIcon(HWND clock, int operation);

// After the settings dialog: adds or deletes the clock's icon when the tray
// option went from off to on or back (wasShown: the option before).
void FollowTrayOption(HWND clock, int wasShown);

// The taskbar was restarted: put the icon back if the user wants one.
void OnTaskbarCreated(HWND clock);
UINT TaskbarCreatedMessage(void);

#endif
