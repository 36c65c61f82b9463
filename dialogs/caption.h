// The gradient caption painter shared by the program's dialogs. Each dialog
// procedure hands every message to CaptionDlgFilter first; the painter keeps
// a record per dialog in the window's user-data slot.
#ifndef TKP_DIALOGS_CAPTION_H
#define TKP_DIALOGS_CAPTION_H

#include <windows.h>

// Switches the painter off for the whole run on the Windows versions that
// paint gradient captions themselves; returns TRUE.
BOOL InitCaptionPainter(void);
// The same for a given GetVersion value.
BOOL InitCaptionPainterForVersion(DWORD version);

// TRUE when it has taken the message; *result is then the procedure's answer.
BOOL CaptionDlgFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);

#endif
