// The monitor under a window, read where the system can tell it: keeping
// the face on the perch's monitor, and telling a fullscreen window.
#ifndef TKP_CLOCKWIN_MONITORS_H
#define TKP_CLOCKWIN_MONITORS_H

#include <windows.h>

#include "geometry.h"

// The point moved the least distance that keeps the face (the whole clock
// when no face lies in the picture) on the monitor holding the perch; on
// its work area when the perch is maximised.
PerchPoint KeepFaceOnMonitor(HWND perch, const RECT &perchRect, PerchPoint at, int clockWidth, int clockHeight);

// A visible, not minimised window covering its whole monitor, other than
// the clock, the taskbar and the desktop with the shell's windows over it.
int IsFullscreenWindow(HWND window, HWND clock, HWND taskbar);

#endif
