// What the hook library cannot see: window events called directly (Wine
// delivers only creation and focus out of context), their registration
// through the seam, the tick's look at the foreground window, and the
// windows docking refuses or hides over.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "clockwin/clockwin.h"
#include "clockwin/perchwatch.h"
#include "shell/appstate.h"
#include "testkit.h"

namespace {

std::vector<UINT> PostedToClock(HWND clock)
{
    std::vector<UINT> posted;
    MSG message;
    while (PeekMessageA(&message, clock, WM_DOCK_UPDATE, WM_DOCK_SYSCLOSE, PM_REMOVE))
        posted.push_back(message.message);
    return posted;
}

struct Registration {
    DWORD first, last, process, flags;
};
std::vector<Registration> Registered;
std::vector<HWINEVENTHOOK> Unhooked;

HWINEVENTHOOK WINAPI FakeSet(DWORD first, DWORD last, HMODULE, WINEVENTPROC proc, DWORD process, DWORD, DWORD flags)
{
    EXPECT_EQ(proc, OnWindowEvent);
    Registered.push_back(Registration{first, last, process, flags});
    return (HWINEVENTHOOK)(UINT_PTR)(0x100 + Registered.size());
}

BOOL WINAPI FakeUnhook(HWINEVENTHOOK hook)
{
    Unhooked.push_back(hook);
    return TRUE;
}

} // namespace

TEST(DockEvents, EachEventPostsWhatTheHookLibraryWould)
{
    ClockTestWindows windows;
    HWND clock = windows.clock(), some = GetDesktopWindow();
    const UINT U = WM_DOCK_UPDATE, D = WM_DOCK_DESTROYED, S = WM_DOCK_SYSCLOSE;
    struct {
        DWORD event;
        LONG object, child;
        std::vector<UINT> posted;
    } cases[] = {
        {EVENT_SYSTEM_FOREGROUND, OBJID_WINDOW, CHILDID_SELF, {U}},
        {EVENT_SYSTEM_MOVESIZEEND, OBJID_WINDOW, CHILDID_SELF, {U}},
        {EVENT_SYSTEM_MINIMIZESTART, OBJID_WINDOW, CHILDID_SELF, {S, U}},
        {EVENT_SYSTEM_MINIMIZEEND, OBJID_WINDOW, CHILDID_SELF, {U}},
        {EVENT_OBJECT_LOCATIONCHANGE, OBJID_WINDOW, CHILDID_SELF, {U}},
        {EVENT_OBJECT_DESTROY, OBJID_WINDOW, CHILDID_SELF, {D}},
        {EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET, CHILDID_SELF, {}},
        {EVENT_OBJECT_DESTROY, OBJID_WINDOW, 3, {}},
        {EVENT_OBJECT_CREATE, OBJID_WINDOW, CHILDID_SELF, {}},
    };
    for (const auto &c : cases) {
        OnWindowEvent(NULL, c.event, some, c.object, c.child, 0, 0);
        EXPECT_EQ(PostedToClock(clock), c.posted) << "event 0x" << std::hex << c.event << " object " << c.object;
    }
}

TEST(DockEvents, RegisteredOutOfContextAndRemovedThroughTheSeam)
{
    Registered.clear();
    Unhooked.clear();
    WinEvents.set = FakeSet;
    WinEvents.unhook = FakeUnhook;
    EXPECT_EQ(StartWindowEvents(), 1);
    const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
    std::vector<std::pair<DWORD, DWORD>> ranges;
    for (const Registration &r : Registered) {
        EXPECT_EQ(r.flags, flags);
        EXPECT_EQ(r.process, 0u) << "desktop-wide";
        ranges.push_back({r.first, r.last});
    }
    std::vector<std::pair<DWORD, DWORD>> expected = {
        {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
        {EVENT_SYSTEM_MOVESIZEEND, EVENT_SYSTEM_MOVESIZEEND},
        {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
        {EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY}};
    EXPECT_EQ(ranges, expected);

    // Location changes: the perch's process alone, registered once per process.
    HWND perch = MakeTestWindow(100, 100, 400, 300);
    WatchPerchProcess(perch);
    WatchPerchProcess(perch);
    ASSERT_EQ(Registered.size(), 5u);
    EXPECT_EQ(Registered[4].first, (DWORD)EVENT_OBJECT_LOCATIONCHANGE);
    EXPECT_EQ(Registered[4].last, (DWORD)EVENT_OBJECT_LOCATIONCHANGE);
    EXPECT_EQ(Registered[4].process, GetCurrentProcessId());
    DestroyWindow(perch);

    StopWindowEvents();
    std::sort(Unhooked.begin(), Unhooked.end());
    std::vector<HWINEVENTHOOK> all;
    for (UINT_PTR i = 1; i <= 5; i++)
        all.push_back((HWINEVENTHOOK)(0x100 + i));
    EXPECT_EQ(Unhooked, all) << "every hook removed, once";
    WinEvents = WinEventCalls();
}

TEST(DockTick, FollowsWhatNoMessageReported)
{
    ClockTestWindows windows;
    HWND clock = windows.clock();
    HWND perch = MakeTestWindow(100, 100, 800, 300);
    MakeForeground(perch);
    CheckPerchOnTick(clock);
    EXPECT_TRUE(IsWindowVisible(clock)) << "a perch no update reported";
    EXPECT_EQ(WindowRect(clock).left, 400);

    MoveWindow(perch, 150, 200, 800, 300, FALSE);
    CheckPerchOnTick(clock);
    EXPECT_EQ(WindowRect(clock).left, 450) << "a moved perch";
    EXPECT_EQ(WindowRect(clock).top, 165);

    // Gone from sight with nothing suitable in front: the clock goes too.
    ShowWindow(perch, SW_HIDE);
    CheckPerchOnTick(clock);
    EXPECT_FALSE(IsWindowVisible(clock));
    DestroyWindow(perch);
}

TEST(DockTick, FullscreenHidesButNotTheDesktopNorAMinimisedWindow)
{
    ClockTestWindows windows;
    HWND clock = windows.clock();
    AppState.ClockOptions.hideFullscreen = 1;
    HWND perch = MakeTestWindow(100, 100, 800, 300);
    MakeForeground(perch);
    SendMessageA(clock, WM_DOCK_UPDATE, 0, 0);
    ASSERT_TRUE(IsWindowVisible(clock));

    WNDCLASSA shell = {};
    shell.lpfnWndProc = DefWindowProcA;
    shell.hInstance = GetModuleHandleA(NULL);
    shell.lpszClassName = "WorkerW";
    RegisterClassA(&shell);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND desktop = CreateWindowExA(0, "WorkerW", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    MakeForeground(desktop);
    SendMessageA(clock, WM_DOCK_UPDATE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(clock)) << "a click on the desktop leaves the clock";
    DestroyWindow(desktop);
    UnregisterClassA("WorkerW", GetModuleHandleA(NULL));

    HWND video = MakeTestWindow(0, 0, width, height, WS_POPUP);
    MakeForeground(video);
    SendMessageA(clock, WM_DOCK_UPDATE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(clock)) << "over a fullscreen window";
    DestroyWindow(video);

    MakeForeground(perch);
    SendMessageA(clock, WM_DOCK_UPDATE, 0, 0);
    ASSERT_TRUE(IsWindowVisible(clock));
    POINT before = {WindowRect(clock).left, WindowRect(clock).top};
    ShowWindow(perch, SW_MINIMIZE);
    MakeForeground(perch);
    SendMessageA(clock, WM_DOCK_UPDATE, 0, 0);
    EXPECT_EQ(WindowRect(clock).left, before.x) << "a minimised window is no perch";
    EXPECT_EQ(WindowRect(clock).top, before.y);
    DestroyWindow(perch);
}
