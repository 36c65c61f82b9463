// The gradient caption painter shared by the program's dialogs.
#ifndef TKP_DIALOGS_CAPTION_H
#define TKP_DIALOGS_CAPTION_H

#include <windows.h>

BOOL InitCaptionPainter(void);
// TRUE when it has taken the message; *result is then the procedure's answer.
BOOL CaptionDlgFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);

#endif
