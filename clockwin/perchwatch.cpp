#include "perchwatch.h"

#include "../base/appstate.h"
#include "../common/dockmsg.h"

WinEventCalls WinEvents;

// The desktop-wide events, one hook each so that none brings a range of
// events nobody asked for: foreground changes, the end of a move or size,
// minimise start and end, destruction.
static const DWORD DesktopEvents[][2] = {
    {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
    {EVENT_SYSTEM_MOVESIZEEND, EVENT_SYSTEM_MOVESIZEEND},
    {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
    {EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY},
};
enum { DESKTOP_HOOKS = sizeof DesktopEvents / sizeof DesktopEvents[0] };

static struct {
    HWINEVENTHOOK desktop[DESKTOP_HOOKS];
    HWINEVENTHOOK location;
    DWORD locationProcess;
    HWND locationPerch; // the perch that process was read from
} Watch;

static HWINEVENTHOOK Register(DWORD first, DWORD last, DWORD process)
{
    // Out of context: nothing of ours is loaded into other processes, so
    // bitness and privilege do not matter; our own windows are the hook
    // library's business.
    return WinEvents.set(first, last, NULL, OnWindowEvent, process, 0,
                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

int StartWindowEvents(void)
{
    if (!WinEvents.set || !WinEvents.unhook) {
        HMODULE user = GetModuleHandle(TEXT("user32.dll"));
        WinEvents.set = (HWINEVENTHOOK(WINAPI *)(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD, DWORD, DWORD))(
            void *)GetProcAddress(user, "SetWinEventHook");
        WinEvents.unhook = (BOOL(WINAPI *)(HWINEVENTHOOK))(void *)GetProcAddress(user, "UnhookWinEvent");
        if (!WinEvents.set || !WinEvents.unhook)
            return 0;
    }
    int registered = 0;
    for (int i = 0; i < DESKTOP_HOOKS; i++) {
        Watch.desktop[i] = Register(DesktopEvents[i][0], DesktopEvents[i][1], 0);
        registered += Watch.desktop[i] != NULL;
    }
    return registered > 0;
}

void WatchPerchProcess(HWND perch)
{
    // Most updates are for the perch already watched: no question to the system then.
    DWORD process = 0;
    if (!WinEvents.set || !perch || perch == Watch.locationPerch || !GetWindowThreadProcessId(perch, &process))
        return;
    Watch.locationPerch = perch;
    if (Watch.location && process == Watch.locationProcess)
        return;
    if (Watch.location)
        WinEvents.unhook(Watch.location);
    Watch.location = Register(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, process);
    Watch.locationProcess = process;
}

void StopWindowEvents(void)
{
    if (!WinEvents.unhook)
        return;
    for (int i = 0; i < DESKTOP_HOOKS; i++) {
        if (Watch.desktop[i])
            WinEvents.unhook(Watch.desktop[i]);
        Watch.desktop[i] = NULL;
    }
    if (Watch.location)
        WinEvents.unhook(Watch.location);
    Watch.location = NULL;
    Watch.locationProcess = 0;
    Watch.locationPerch = NULL;
}

void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    // Windows only: not their carets, cursors or scroll bars, nor children
    // standing for parts of them.
    if (!window || object != OBJID_WINDOW || child != CHILDID_SELF)
        return;
    HWND clock = AppState.ClockWindow;
    switch (event) {
    case EVENT_SYSTEM_MINIMIZESTART:
        // As the hook library reports a minimise command; the update after
        // it brings the clock back when the foreground window stays a perch.
        PostMessage(clock, WM_DOCK_SYSCLOSE, 0, 0);
        PostMessage(clock, WM_DOCK_UPDATE, (WPARAM)window, 0);
        break;
    case EVENT_SYSTEM_FOREGROUND:
    case EVENT_SYSTEM_MOVESIZEEND:
    case EVENT_SYSTEM_MINIMIZEEND:
    case EVENT_OBJECT_LOCATIONCHANGE:
        PostMessage(clock, WM_DOCK_UPDATE, (WPARAM)window, 0);
        break;
    case EVENT_OBJECT_DESTROY:
        PostMessage(clock, WM_DOCK_DESTROYED, 0, 0);
        break;
    }
}
