// Plain versions of the menu dialogs: they open centred and topmost and
// close with OK, the close button or Alt+F4, always with result 0. The
// settings dialog also closes with Cancel (Escape); the other two do not.
#include "dialogs.h"

#include "../shell/helpers.h"
#include "../skin/skin.h"
#include "../skin/skinformat.h"
#include "caption.h"

typedef void (*DialogSetUp)(HWND dialog);

static INT_PTR PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DialogSetUp setUp,
                               int closesOnCancel)
{
    LRESULT taken;
    if (CaptionDlgFilter(dialog, message, wParam, lParam, &taken))
        return taken;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog, GetDesktopWindow());
        if (setUp)
            setUp(dialog);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || (closesOnCancel && LOWORD(wParam) == IDCANCEL)) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == SC_CLOSE) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// The skin's credits; a field the skin leaves empty keeps its placeholder.
static void ShowSkinTexts(HWND dialog)
{
    const unsigned char *fields[] = {SkinHeader.author, SkinHeader.dataName, SkinHeader.homePage,
                                     SkinHeader.mailAddress};
    for (int i = 0; i < 4; i++) {
        if (!fields[i][0])
            continue;
        // A stranger's field may fill all 256 bytes without an end: it shows
        // as those 256 bytes, never more.
        char text[257];
        CopySkinText(fields[i], text, sizeof text);
        SetDlgItemTextA(dialog, 1002 + i, text);
    }
}

INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PlainDialogProc(dialog, message, wParam, lParam, NULL, 1);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PlainDialogProc(dialog, message, wParam, lParam, NULL, 0);
}

INT_PTR CALLBACK PropertyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PlainDialogProc(dialog, message, wParam, lParam, ShowSkinTexts, 0);
}
