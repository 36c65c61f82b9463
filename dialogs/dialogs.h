// The three dialogs of the popup menu. Each ends with EndDialog result 0.
#ifndef TKP_DIALOGS_DIALOGS_H
#define TKP_DIALOGS_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PropertyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A font of the given cell height (positive) and styles; the caller owns it.
HFONT MakeFont(int height, int width, int bold, int italic, int underline, int strikeOut, BYTE charSet,
               const TCHAR *faceName);

// Makes a dialog topmost and shows it, as every dialog of the program does
// at WM_INITDIALOG.
void ShowOnTop(HWND dialog);

// Ends a dialog with 0, the result every way out of the program's dialogs
// gives.
void EndDialogWithZero(HWND dialog);

// Shared by the procedures: every message goes to the caption painter
// first; 1 when it took the message, *answer then being the procedure's
// return value.
int PassToCaptionPainter(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *answer);

#endif
