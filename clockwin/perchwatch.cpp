#include "perchwatch.h"

#include "../base/appstate.h"
#include "../common/dockmsg.h"
#include "syscalls.h"

WinEventCalls WinEvents;

// The desktop-wide events, one hook each so that none brings a range of
// events nobody asked for: foreground changes, the start and end of a move
// or size, minimise start and end, destruction, cloaking. The shell cloaks
// other programs' windows, so the cloak is not counted to their process.
static const DWORD DesktopEvents[][2] = {
    {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
    {EVENT_SYSTEM_MOVESIZESTART, EVENT_SYSTEM_MOVESIZEEND},
    {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
    {EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY},
    {EVENT_OBJECT_CLOAKED, EVENT_OBJECT_UNCLOAKED},
};
enum { DESKTOP_HOOKS = sizeof DesktopEvents / sizeof DesktopEvents[0] };

static struct {
    HWINEVENTHOOK desktop[DESKTOP_HOOKS];
    HWINEVENTHOOK location;
    DWORD locationProcess;
    HWND locationPerch; // the perch that process was read from
    HWINEVENTHOOK consoleMove; // every location change, while a console perch moves
} Watch;

static HWINEVENTHOOK Register(DWORD first, DWORD last, DWORD process)
{
    // Out of context: nothing of ours is loaded into other processes, so
    // bitness and privilege do not matter; our own windows are the hook
    // library's business.
    return WinEvents.set(first, last, NULL, OnWindowEvent, process, 0,
                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

static void Unhook(HWINEVENTHOOK *hook)
{
    if (*hook)
        WinEvents.unhook(*hook);
    *hook = NULL;
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
    Unhook(&Watch.consoleMove);
    Watch.locationPerch = perch;
    if (Watch.location && process == Watch.locationProcess)
        return;
    Unhook(&Watch.location);
    Watch.location = Register(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, process);
    Watch.locationProcess = process;
}

void StopWindowEvents(void)
{
    ReleaseSystemCalls();
    if (!WinEvents.unhook)
        return;
    for (int i = 0; i < DESKTOP_HOOKS; i++)
        Unhook(&Watch.desktop[i]);
    Unhook(&Watch.location);
    Unhook(&Watch.consoleMove);
    Watch.locationProcess = 0;
    Watch.locationPerch = NULL;
}

// A classic console's moves are counted to the console host, not to the
// process the location hook follows: while the user drags one, every
// location change is heard (they flood otherwise), filtered to the perch.
static void FollowConsoleMove(HWND window, int starts)
{
    if (!starts)
        Unhook(&Watch.consoleMove);
    else if (WinEvents.set && !Watch.consoleMove && Sys.isConsoleWindow && Sys.isConsoleWindow(window))
        Watch.consoleMove = Register(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, 0);
}

void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    // Windows only: not their carets, cursors or scroll bars, nor children
    // standing for parts of them.
    if (!window || object != OBJID_WINDOW || child != CHILDID_SELF)
        return;
    HWND clock = AppState.ClockWindow;
    // Runs on the clock's thread: the perch can be compared directly, and
    // its process's other windows (children, Explorer's taskbar) move in vain.
    int perch = window == AppState.DockTarget;
    switch (event) {
    case EVENT_SYSTEM_MINIMIZESTART:
        // As the hook library reports a minimise command; the update after
        // it brings the clock back when the foreground window stays a perch.
        if (perch) {
            PostMessage(clock, WM_DOCK_SYSCLOSE, 0, 0);
            PostMessage(clock, WM_DOCK_UPDATE, (WPARAM)window, 0);
        }
        break;
    case EVENT_SYSTEM_MOVESIZESTART:
        if (perch)
            FollowConsoleMove(window, 1);
        break;
    case EVENT_SYSTEM_MOVESIZEEND:
        FollowConsoleMove(window, 0);
        PostMessage(clock, WM_DOCK_UPDATE, (WPARAM)window, 0);
        break;
    case EVENT_OBJECT_LOCATIONCHANGE:
    case EVENT_OBJECT_CLOAKED:
    case EVENT_OBJECT_UNCLOAKED:
        if (perch)
            PostMessage(clock, WM_DOCK_UPDATE, (WPARAM)window, 0);
        break;
    case EVENT_SYSTEM_FOREGROUND:
    case EVENT_SYSTEM_MINIMIZEEND:
        PostMessage(clock, WM_DOCK_UPDATE, (WPARAM)window, 0);
        break;
    case EVENT_OBJECT_DESTROY:
        PostMessage(clock, WM_DOCK_DESTROYED, 0, 0);
        break;
    }
}
