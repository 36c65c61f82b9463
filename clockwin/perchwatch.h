// What the hook library cannot see: windows of the other bitness, elevated
// and packaged programs. Out-of-context window events report them where the
// system has them, posting the hook library's messages; docking decides
// (and its tick's look, CheckPerchOnTick, covers systems without events).
#ifndef TKP_CLOCKWIN_PERCHWATCH_H
#define TKP_CLOCKWIN_PERCHWATCH_H

#include <windows.h>

// Registration and removal of window event hooks: USER32's own, looked up
// by StartWindowEvents where the system has them (Windows 98 and NT 4 SP3
// on). Tests put their own in before starting.
struct WinEventCalls {
    HWINEVENTHOOK(WINAPI *set)(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD, DWORD, DWORD);
    BOOL(WINAPI *unhook)(HWINEVENTHOOK);
};
extern WinEventCalls WinEvents;

// Registers the desktop-wide events; 0 where the system has none.
int StartWindowEvents(void);
// Location changes are followed for the perch's process alone (every caret
// and pointer move of the desktop would wake the clock otherwise), and
// reported for the perch alone.
void WatchPerchProcess(HWND perch);
// Removes every registered event hook and lets the desktop manager go (at
// exit, beside FreeHook).
void StopWindowEvents(void);

// Posts to the clock the message the hook library would post for the event.
void CALLBACK OnWindowEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                            DWORD thread, DWORD time);

#endif
