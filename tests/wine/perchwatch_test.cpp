// What the hook library cannot see: the window-event callback called
// directly (Wine delivers only creation and focus out of context), the
// events' registration through the seam, and the tick's own look.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/appstate.h"
#include "clockwin/clockwin.h"
#include "clockwin/perchwatch.h"
#include "clockwin/syscalls.h"
#include "clockwin/tray.h"
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

// The answers only newer Windows gives, through the seam, and what the
// clock does with each: one line of what it asked for, and where it stands.
static std::string Did;
static struct {
    HWND cloaked;
    int state;
    unsigned long desktop[2]; // the perches' and the clock's
} Says;

static HRESULT WINAPI SaysCloaked(HWND window, DWORD, void *cloaked, DWORD)
{
    *(DWORD *)cloaked = window == Says.cloaked;
    return S_OK;
}

static HRESULT WINAPI SaysState(int *state)
{
    *state = Says.state;
    return S_OK;
}

static BOOL WINAPI NoteFiltered(HWND, UINT message, DWORD action, void *)
{
    Did += std::to_string(message) + (action == MSGFLT_ALLOW ? " " : "? ");
    return TRUE;
}

static std::string SeamRow(void (*act)(HWND, HWND, HWND))
{
    Sys.windowAttribute = SaysCloaked;
    Sys.notificationState = SaysState;
    Sys.filterMessageEx = NoteFiltered;
    Sys.desktopOf = [](HWND window, GUID *desktop) {
        *desktop = GUID{Says.desktop[window == AppState.ClockWindow], 0, 0, {0}};
        Did += "ask ";
        return 1;
    };
    Sys.moveToDesktop = [](HWND, const GUID *desktop) {
        Says.desktop[1] = desktop->Data1;
        Did += "move ";
        return 1;
    };
    Says = {NULL, 5, {1, 1}};
    ClockTestWindows windows;
    HWND clock = windows.clock(), other = MakeTestWindow(300, 500, 300, 200);
    HWND popup = MakeTestWindow(600, 600, 100, 100, WS_POPUP), perch = MakeTestWindow(100, 100, 800, 300);
    std::string created = Did;
    AppState.ClockOptions.hideFullscreen = 1;
    MakeForeground(perch);
    SendMessageA(clock, WM_DOCK_UPDATE, 0, 0);
    Did.clear();
    if (act)
        act(perch, other, popup);
    const char *stands = !IsWindowVisible(clock) ? "hidden" : AppState.DockTarget == perch ? "on perch" : "on other";
    std::string line = act ? Did + stands : created;
    for (HWND window : {other, popup, perch})
        DestroyWindow(window);
    Sys = SystemCalls();
    Did.clear();
    return line;
}

static void Front(HWND window)
{
    MakeForeground(window);
    SendMessageA(AppState.ClockWindow, WM_DOCK_UPDATE, 0, 0);
}

TEST(DockSystemAnswers, EachAnswerAndWhatTheClockDoes)
{
    std::string filtered;
    const UINT messages[] = {WM_DOCK_UPDATE, WM_DOCK_DESTROYED, WM_DOCK_SYSCLOSE, TaskbarCreatedMessage(), WM_DROPFILES,
                             WM_COPYDATA, 0x49};
    for (UINT message : messages)
        filtered += std::to_string(message) + " ";
    EXPECT_EQ(SeamRow(NULL), filtered) << "the message filter, at the clock's creation";
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    static HWND covering;
    struct {
        const char *what, *expected;
        void (*act)(HWND perch, HWND other, HWND popup);
    } rows[] = {
        {"a cloaked window in front: refused", "on perch",
         [](HWND, HWND other, HWND) { Says.cloaked = other, Front(other); }},
        {"the perch cloaked in front: lost at the tick", "hidden", [](HWND perch, HWND, HWND) {
             Says.cloaked = perch, Front(perch), CheckPerchOnTick(AppState.ClockWindow); }},
        {"the perch cloaked behind a refused window: lost at the tick", "hidden", [](HWND perch, HWND, HWND popup) {
             Says.cloaked = perch, Front(popup), CheckPerchOnTick(AppState.ClockWindow); }},
        {"a perch on another desktop: the clock follows once", "ask ask move on other", [](HWND, HWND other, HWND) {
             Says.desktop[0] = 2, Front(other), MoveWindow(other, 10, 500, 300, 200, TRUE), Front(other); }},
        {"the perch went to another desktop with the user", "ask ask move on perch", [](HWND perch, HWND, HWND popup) {
             Says.desktop[0] = 2, Says.cloaked = AppState.ClockWindow, Front(popup), Front(perch); }},
        {"Direct3D fullscreen", "hidden", [](HWND, HWND other, HWND) { Says.state = 3, Front(other); }},
        {"presentation mode", "hidden", [](HWND, HWND other, HWND) { Says.state = 4, Front(other); }},
        {"a framed window covering the monitor", "hidden", [](HWND, HWND, HWND) { Front(covering); }},
        {"... with HIDEFULLSCREEN=0", "ask ask on other", [](HWND, HWND, HWND) {
             AppState.ClockOptions.hideFullscreen = 0, Front(covering); }},
        {"a maximised window", "ask ask on other", [](HWND, HWND other, HWND) {
             ShowWindow(other, SW_MAXIMIZE), Front(other); }},
    };
    for (const auto &row : rows) {
        covering = MakeTestWindow(0, 0, W, H);
        EXPECT_EQ(SeamRow(row.act), row.expected) << row.what;
        DestroyWindow(covering);
    }
}
