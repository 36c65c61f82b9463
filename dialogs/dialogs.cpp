// Plain versions of the menu dialogs: they open centred and topmost and
// close with OK, the close button or Alt+F4, always with result 0.
#include "dialogs.h"

#include "../shell/helpers.h"
#include "caption.h"

static INT_PTR PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT taken;
    if (CaptionDlgFilter(dialog, message, wParam, lParam, &taken))
        return taken;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog, GetDesktopWindow());
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PlainDialogProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PlainDialogProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK PropertyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PlainDialogProc(dialog, message, wParam, lParam);
}
