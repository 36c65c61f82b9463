// The program's life: start-up, the message loop and the orderly end.
#ifndef TKP_STARTUP_LIFECYCLE_H
#define TKP_STARTUP_LIFECYCLE_H

#include <windows.h>

#define CLOCK_TIMER_ID 10

// Runs the whole program; returns the process exit code.
int RunClock(HINSTANCE instance, const TCHAR *commandLine);

// Registers the window classes and creates the hidden owner and the clock.
int CreateClockWindows(void);

// The steps of the end that must not be lost: unhook, write the settings,
// remove the tray icon. Runs once, from the end of the loop or earlier when
// the Windows session ends under a running clock.
void FinishRun(void);

// (Re)arms the one-second repaint timer to fire just after the next second.
void ArmSecondTimer(HWND clock);

#endif
