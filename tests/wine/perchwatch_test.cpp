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
    AppState.DockTarget = GetDesktopWindow(); // stands for the perch; the clock for another window
    struct {
        DWORD event;
        LONG object, child;
        std::vector<UINT> posted;
        bool another = false;
    } cases[] = {{EVENT_SYSTEM_FOREGROUND, OBJID_WINDOW, 0, {U}}, {EVENT_SYSTEM_MOVESIZEEND, OBJID_WINDOW, 0, {U}},
                 {EVENT_SYSTEM_MINIMIZESTART, OBJID_WINDOW, 0, {S, U}}, {EVENT_SYSTEM_MINIMIZEEND, OBJID_WINDOW, 0, {U}},
                 {EVENT_OBJECT_LOCATIONCHANGE, OBJID_WINDOW, 0, {U}}, {EVENT_OBJECT_DESTROY, OBJID_WINDOW, 0, {D}},
                 {EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET, 0, {}}, {EVENT_OBJECT_DESTROY, OBJID_WINDOW, 3, {}},
                 {EVENT_OBJECT_CREATE, OBJID_WINDOW, 0, {}}, {EVENT_OBJECT_CLOAKED, OBJID_WINDOW, 0, {U}},
                 {EVENT_OBJECT_UNCLOAKED, OBJID_WINDOW, 0, {U}}, {EVENT_SYSTEM_MINIMIZESTART, OBJID_WINDOW, 0, {}, 1},
                 {EVENT_OBJECT_LOCATIONCHANGE, OBJID_WINDOW, 0, {}, 1}};
    for (const auto &c : cases) {
        OnWindowEvent(NULL, c.event, c.another ? windows.clock() : GetDesktopWindow(), c.object, c.child, 0, 0);
        std::vector<UINT> posted;
        MSG message;
        while (PeekMessageA(&message, windows.clock(), WM_DOCK_UPDATE, WM_DOCK_SYSCLOSE, PM_REMOVE))
            posted.push_back(message.message);
        EXPECT_EQ(posted, c.posted) << "event 0x" << std::hex << c.event << ", object " << c.object << " " << c.another;
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
    // A console is heard from every process, from the start of its move to the end only.
    AppState.DockTarget = perch;
    static int console;
    Sys.isConsoleWindow = [](HWND) { return console; };
    for (console = 1; console >= 0; console--) {
        OnWindowEvent(NULL, EVENT_SYSTEM_MOVESIZESTART, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
        OnWindowEvent(NULL, EVENT_SYSTEM_MOVESIZEEND, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
    }
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
        location, location, own, flags, location, location, 0, flags, // the last the console's move
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

// The answers only newer Windows gives, through the seam, and what the clock asked of it.
static std::string Did;
static struct { HWND cloaked; int state; unsigned long desktop[2]; /* the perches', the clock's */ } Says;
static struct { HWND perch, other, popup, covering; } Scene;

static HRESULT WINAPI SaysCloaked(HWND window, DWORD, void *cloaked, DWORD)
{
    return *(DWORD *)cloaked = window == Says.cloaked, S_OK;
}

static HRESULT WINAPI SaysState(int *state)
{
    return *state = Says.state, S_OK;
}

static BOOL WINAPI NoteFiltered(HWND, UINT message, DWORD action, void *)
{
    return Did += std::to_string(message) + (action == MSGFLT_ALLOW ? " " : "? "), TRUE;
}

static void Front(HWND window)
{
    MakeForeground(window);
    SendMessageA(AppState.ClockWindow, WM_DOCK_UPDATE, 0, 0);
}

// The clock on the perch; another framed window, a popup and a window covering the screen behind. The step
// sets answers and acts. No step: what the clock's creation asked.
static std::string SeamRow(void (*step)())
{
    Sys.windowAttribute = SaysCloaked, Sys.notificationState = SaysState, Sys.filterMessageEx = NoteFiltered;
    Sys.desktopOf = [](HWND window, GUID *desktop) {
        return *desktop = GUID{Says.desktop[window == AppState.ClockWindow], 0, 0, {0}}, Did += "ask ", 1; };
    Sys.moveToDesktop = [](HWND, const GUID *desktop) { return Says.desktop[1] = desktop->Data1, Did += "move ", 1; };
    Says = {NULL, 5, {1, 1}};
    Did.clear();
    ClockTestWindows windows;
    std::string created = Did;
    Scene = {NULL, MakeTestWindow(300, 500, 300, 200), MakeTestWindow(600, 600, 100, 100, WS_POPUP),
             MakeTestWindow(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))};
    Scene.perch = MakeTestWindow(100, 100, 800, 300);
    AppState.ClockOptions.hideFullscreen = 1;
    Front(Scene.perch);
    Did.clear();
    if (step)
        step();
    const char *stands = AppState.DockTarget == Scene.perch ? "on perch" : "on other";
    std::string line = step ? Did + (IsWindowVisible(windows.clock()) ? stands : "hidden") : created;
    for (HWND window : {Scene.perch, Scene.other, Scene.popup, Scene.covering})
        DestroyWindow(window);
    Sys = SystemCalls();
    return line;
}

TEST(DockSystemAnswers, EachAnswerAndWhatTheClockDoes)
{
    EXPECT_EQ(SeamRow(NULL), "1035 1036 1037 " + std::to_string(TaskbarCreatedMessage()) + " 563 74 73 ")
        << "the message filter at the clock's creation: the hook library's three, TaskbarCreated and a drop's";
    const struct {
        const char *what, *expected;
        void (*step)();
    } rows[] = {
        {"a cloaked window in front: refused", "on perch", [] { Says.cloaked = Scene.other, Front(Scene.other); }},
        {"the perch cloaked in front: lost at the tick", "hidden",
         [] { Says.cloaked = Scene.perch, Front(Scene.perch), CheckPerchOnTick(AppState.ClockWindow); }},
        {"the perch cloaked behind a refused window: lost at the tick", "hidden",
         [] { Says.cloaked = Scene.perch, Front(Scene.popup), CheckPerchOnTick(AppState.ClockWindow); }},
        {"a perch on another desktop: the clock follows, once", "ask ask move on other",
         [] { Says.desktop[0] = 2, Front(Scene.other), MoveWindow(Scene.other, 9, 9, 99, 99, 1), Front(Scene.other); }},
        {"the perch went to another desktop, the user with it", "ask ask move on perch",
         [] { Says.desktop[0] = 2, Says.cloaked = AppState.ClockWindow, Front(Scene.popup), Front(Scene.perch); }},
        {"Direct3D fullscreen", "hidden", [] { Says.state = 3, Front(Scene.other); }},
        {"presentation mode", "hidden", [] { Says.state = 4, Front(Scene.other); }},
        {"a framed window covering the monitor", "hidden", [] { Front(Scene.covering); }},
        {"... with HIDEFULLSCREEN=0", "ask ask on other",
         [] { AppState.ClockOptions.hideFullscreen = 0, Front(Scene.covering); }},
        {"a maximised window", "ask ask on other", [] { ShowWindow(Scene.other, SW_MAXIMIZE), Front(Scene.other); }},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SeamRow(row.step), row.expected) << row.what;
}
