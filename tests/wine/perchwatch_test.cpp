// What the hook library cannot see: the window-event callback called
// directly (Wine delivers only creation and focus out of context), the
// events' registration through the seam, and the tick's own look.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/appstate.h"
#include "clockwin/clockwin.h"
#include "clockwin/perchwatch.h"
#include "clockwin/syscalls.h"
#include "testkit.h"

static std::vector<DWORD> Calls; // first, last, process and flags of each registration, then each hook removed

static HWINEVENTHOOK WINAPI FakeSet(DWORD first, DWORD last, HMODULE, WINEVENTPROC, DWORD process, DWORD, DWORD flags)
{
    Calls.insert(Calls.end(), {first, last, process, flags});
    return (HWINEVENTHOOK)(UINT_PTR)Calls.size();
}

static BOOL WINAPI FakeUnhook(HWINEVENTHOOK hook)
{
    Calls.push_back((DWORD)(UINT_PTR)hook);
    return TRUE;
}

TEST(DockEvents, PostWhatTheHookLibraryWouldForWindowsOnly)
{
    ClockTestWindows windows;
    const UINT U = WM_DOCK_UPDATE, D = WM_DOCK_DESTROYED, S = WM_DOCK_SYSCLOSE;
    AppState.DockTarget = windows.clock(); // stands for the perch; the desktop window for any other
    struct {
        DWORD event;
        LONG object, child;
        std::vector<UINT> posted;
        bool perch = false;
    } cases[] = {{EVENT_SYSTEM_FOREGROUND, OBJID_WINDOW, 0, {U}}, {EVENT_SYSTEM_MOVESIZEEND, OBJID_WINDOW, 0, {U}},
                 {EVENT_SYSTEM_MINIMIZESTART, OBJID_WINDOW, 0, {S, U}, true},
                 {EVENT_SYSTEM_MINIMIZEEND, OBJID_WINDOW, 0, {U}}, {EVENT_OBJECT_DESTROY, OBJID_WINDOW, 0, {D}},
                 {EVENT_OBJECT_LOCATIONCHANGE, OBJID_WINDOW, 0, {U}, true},
                 {EVENT_OBJECT_CLOAKED, OBJID_WINDOW, 0, {U}, true},
                 {EVENT_OBJECT_UNCLOAKED, OBJID_WINDOW, 0, {U}, true},
                 {EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET, 0, {}}, {EVENT_OBJECT_DESTROY, OBJID_WINDOW, 3, {}},
                 {EVENT_OBJECT_CREATE, OBJID_WINDOW, 0, {}},
                 // Another window than the perch (a child, the taskbar of the perch's Explorer):
                 {EVENT_SYSTEM_MINIMIZESTART, OBJID_WINDOW, 0, {}}, {EVENT_OBJECT_LOCATIONCHANGE, OBJID_WINDOW, 0, {}},
                 {EVENT_OBJECT_CLOAKED, OBJID_WINDOW, 0, {}}};
    for (const auto &c : cases) {
        OnWindowEvent(NULL, c.event, c.perch ? windows.clock() : GetDesktopWindow(), c.object, c.child, 0, 0);
        std::vector<UINT> posted;
        MSG message;
        while (PeekMessageA(&message, windows.clock(), WM_DOCK_UPDATE, WM_DOCK_SYSCLOSE, PM_REMOVE))
            posted.push_back(message.message);
        EXPECT_EQ(posted, c.posted) << "event 0x" << std::hex << c.event << ", object " << c.object << " " << c.perch;
    }
}

TEST(DockEvents, RegisteredOutOfContextAndRemovedThroughTheSeam)
{
    Calls.clear();
    WinEvents.set = FakeSet;
    WinEvents.unhook = FakeUnhook;
    ASSERT_EQ(StartWindowEvents(), 1);
    HWND perch = MakeTestWindow(100, 100, 400, 300);
    WatchPerchProcess(perch);
    WatchPerchProcess(perch); // the same process: nothing new
    // A console's moves are heard from every process, from its move's start to its end only.
    AppState.DockTarget = perch;
    Sys.isConsoleWindow = [](HWND) { return 1; };
    OnWindowEvent(NULL, EVENT_SYSTEM_MOVESIZESTART, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
    OnWindowEvent(NULL, EVENT_SYSTEM_MOVESIZEEND, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
    Sys.isConsoleWindow = [](HWND) { return 0; };
    OnWindowEvent(NULL, EVENT_SYSTEM_MOVESIZESTART, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
    DestroyWindow(perch);
    StopWindowEvents();
    WinEvents = WinEventCalls();
    Sys = SystemCalls();
    const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS, own = GetCurrentProcessId();
    const DWORD location = EVENT_OBJECT_LOCATIONCHANGE;
    std::vector<DWORD> expected = {
        EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, 0, flags, EVENT_SYSTEM_MOVESIZESTART,
        EVENT_SYSTEM_MOVESIZEEND, 0, flags, EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND, 0, flags,
        EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY, 0, flags, EVENT_OBJECT_CLOAKED, EVENT_OBJECT_UNCLOAKED, 0, flags,
        location, location, own, flags, location, location, 0, flags,
        28, 4, 8, 12, 16, 20, 24}; // each hook, named by the count of values recorded when it was made, removed once
    EXPECT_EQ(Calls, expected);
}

TEST(DockTick, FollowsWhatNoMessageReportedKeepsOverTheDesktopAndHidesWhenThePerchGoes)
{
    ClockTestWindows windows;
    AppState.ClockOptions.hideFullscreen = 1;
    HWND clock = windows.clock(), perch = MakeTestWindow(100, 100, 800, 300);
    MakeForeground(perch);
    CheckPerchOnTick(clock);
    MoveWindow(perch, 150, 200, 800, 300, FALSE);
    CheckPerchOnTick(clock);
    RECT rect = WindowRect(clock);
    EXPECT_TRUE(IsWindowVisible(clock) && rect.left == 450 && rect.top == 165) << rect.left << "," << rect.top;

    // What Windows 10 and 11 put in front after a click on the desktop covers the screen.
    WNDCLASSA shell = {};
    shell.lpfnWndProc = DefWindowProcA;
    shell.lpszClassName = "WorkerW";
    RegisterClassA(&shell);
    HWND desktop = CreateWindowExA(0, "WorkerW", "", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN), NULL, NULL, NULL, NULL);
    MakeForeground(desktop);
    CheckPerchOnTick(clock);
    EXPECT_TRUE(IsWindowVisible(clock)) << "the desktop is no fullscreen window";
    DestroyWindow(desktop);
    UnregisterClassA("WorkerW", NULL);

    ShowWindow(perch, SW_HIDE);
    CheckPerchOnTick(clock);
    EXPECT_FALSE(IsWindowVisible(clock));
    DestroyWindow(perch);
}

