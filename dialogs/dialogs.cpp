#include "dialogs.h"

#include <string.h>

#include "caption.h"

int PassToCaptionPainter(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *answer)
{
    LRESULT result;
    if (!CaptionDlgFilter(dialog, message, wParam, lParam, &result))
        return 0;
    // For most messages the dialog manager answers the sender with the
    // DWLP_MSGRESULT slot, not with the procedure's TRUE: without this,
    // SetWindowText on a painted dialog would report failure.
    if (message != WM_INITDIALOG)
        SetWindowLongPtr(dialog, DWLP_MSGRESULT, result);
    *answer = result;
    return 1;
}

void ShowOnTop(HWND dialog)
{
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void EndDialogWithZero(HWND dialog)
{
    EndDialog(dialog, 0);
    // Wine's dialog loop notices the end only with its next message; this
    // brings the clock back at once instead of at its next timer tick.
    PostMessage(dialog, WM_NULL, 0, 0);
}

HFONT MakeFont(int height, int width, int bold, int italic, int underline, int strikeOut, BYTE charSet,
               const TCHAR *faceName)
{
    LOGFONT font;
    memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWidth = width;
    if (bold)
        font.lfWeight = FW_BOLD;
    font.lfItalic = italic ? 1 : 0;
    font.lfUnderline = underline ? 1 : 0;
    font.lfStrikeOut = strikeOut ? 1 : 0;
    font.lfCharSet = charSet;
    lstrcpyn(font.lfFaceName, faceName, LF_FACESIZE);
    return CreateFontIndirect(&font);
}
