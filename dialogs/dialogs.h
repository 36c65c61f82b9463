// The three dialogs of the popup menu. Each ends with EndDialog result 0.
#ifndef TKP_DIALOGS_DIALOGS_H
#define TKP_DIALOGS_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PropertyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
