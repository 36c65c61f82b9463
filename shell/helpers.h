// Small window and path helpers used all over the program.
#ifndef TKP_SHELL_HELPERS_H
#define TKP_SHELL_HELPERS_H

#include <windows.h>

int ExpandLongPath(const char *path, char *out, int outSize);
BOOL CenterWindow(HWND window, HWND reference);
HICON LoadSmallIcon(HINSTANCE instance, const char *name);

// Shows an error to the user with the program's standard caption.
void ShowProblem(HWND owner, const char *text);

#endif
