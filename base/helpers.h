// Small window and path helpers used all over the program.
#ifndef TKP_BASE_HELPERS_H
#define TKP_BASE_HELPERS_H

#include <windows.h>

int ExpandLongPath(const char *path, char *out, int outSize);
BOOL CenterWindow(HWND window, HWND reference);
HICON LoadSmallIcon(HINSTANCE instance, const char *name);
// The system's help viewer, winhlp32.exe in the Windows folder, into path
// (MAX_PATH bytes): 1 when its path fits, whether the file is there or not.
int HelpViewerPath(char *path);

// Every box the program shows goes through these two. An error, with the
// program's caption for problems:
void ShowProblem(HWND owner, const char *text);
// A notice, which is no error:
void ShowNotice(HWND owner, const char *text, const char *caption);

#endif
