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
// The tick's look, for what no hook or event reported: a foreground window
// or rectangle that changed since docking last judged is docked to as if
// reported; a perch that is gone, hidden, minimised or cloaked with no
// suitable window in its place hides the clock.
void CheckPerchOnTick(HWND clock);

// clockproc.cpp: what the end of a Windows session must not lose (unhook,
// settings, tray icon). Start-up, above the clock window, hands it in.
extern void (*SessionEndStep)(void);

#endif
