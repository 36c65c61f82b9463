// The painter draws nothing yet: dialogs keep the platform's own caption.
#include "caption.h"

static int CaptionPainterOff;

BOOL InitCaptionPainter(void)
{
    // Windows 98 and Me (4.10, 4.90) draw gradient captions themselves.
    DWORD version = GetVersion();
    BYTE major = LOBYTE(LOWORD(version));
    BYTE minor = HIBYTE(LOWORD(version));
    CaptionPainterOff = major >= 4 && minor >= 10;
    return TRUE;
}

BOOL CaptionDlgFilter(HWND, UINT, WPARAM, LPARAM, LRESULT *)
{
    return FALSE;
}
