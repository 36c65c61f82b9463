// The clock window: a borderless popup in the shape of its skin that
// perches on the foreground window's title bar.
#ifndef TKP_CLOCKWIN_CLOCKWIN_H
#define TKP_CLOCKWIN_CLOCKWIN_H

#include <windows.h>

#include "../common/dockmsg.h"

#define WM_TRAY_NOTIFY (WM_USER + 100)

LRESULT CALLBACK ClockWndProc(HWND clock, UINT message, WPARAM wParam, LPARAM lParam);

// dock.cpp
LRESULT OnClockCreate(HWND clock);
LRESULT OnDockUpdate(HWND clock);
LRESULT OnDockDestroyed(HWND clock);
LRESULT OnDockSysClose(HWND clock);
LRESULT OnLButtonDown(HWND clock, WPARAM wParam, LPARAM lParam);
LRESULT OnNcLButtonDown(HWND clock, WPARAM wParam, LPARAM lParam);
int PlaceClock(HWND clock, HWND perch, int position);

#endif
