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

// A visible, not minimised window that covers its whole monitor without
// being maximised, framed or not, or over which the shell reports exclusive
// Direct3D fullscreen or presentation mode; never the clock, the taskbar or
// the desktop with the shell's windows over it. The shell's report is
// asked only when *shellReport is negative, and kept there.
int IsFullscreenWindow(HWND window, HWND clock, HWND taskbar, int *shellReport);

#endif
