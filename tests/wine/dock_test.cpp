// Docking on real windows: the foreground window decides, whatever window
// the hook reported.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/appstate.h"
#include "clockwin/clockwin.h"
#include "skin/skin.h"
#include "startup/lifecycle.h"
#include "testkit.h"

namespace {

class Dock : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();
    std::vector<HWND> perches;

    HWND perch(int x, int y, int width, int height, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0)
    {
        HWND window = MakeTestWindow(x, y, width, height, style, exStyle);
        perches.push_back(window);
        MakeForeground(window);
        return window;
    }
    void update() { SendMessageA(clock, WM_DOCK_UPDATE, 0, 0); }
    POINT clockAt()
    {
        RECT rect = WindowRect(clock);
        return POINT{rect.left, rect.top};
    }
    ~Dock() override
    {
        for (HWND window : perches)
            DestroyWindow(window);
    }
};

} // namespace

TEST_F(Dock, PerchesOnTheForegroundWindowByOffsetAndRise)
{
    // Built-in skin: overlap 50, rise 35; the default offset 500.
    perch(100, 100, 800, 300);
    update();
    EXPECT_EQ(clockAt().x, 400);
    EXPECT_EQ(clockAt().y, 65);
    EXPECT_TRUE(IsWindowVisible(clock));
    RECT rect = WindowRect(clock);
    EXPECT_EQ(rect.right - rect.left, 101); // the size stays the skin's
    EXPECT_EQ(rect.bottom - rect.top, 38);
    EXPECT_EQ(AppState.DockTarget, perches[0]);
    EXPECT_EQ(AppState.PreviousDockTarget, perches[0]);
    EXPECT_NE(GetForegroundWindow(), clock) << "docking never activates the clock";
}

TEST_F(Dock, OffsetIsClampedSoTheClockKeepsOverlappingThePerch)
{
    perch(100, 100, 200, 300); // spans x 100..300
    update();
    EXPECT_EQ(clockAt().x, 50) << "the left bound: 50 pixels out beyond the left edge";

    AppState.ClockOptions.position = -100;
    update();
    EXPECT_EQ(clockAt().x, 250) << "the right bound: 50 pixels left of the right edge";
    EXPECT_EQ(AppState.ClockOptions.position, -100) << "the stored offset stays";
}

TEST_F(Dock, FollowsTheForegroundWindowNotTheReportedOne)
{
    HWND first = perch(100, 200, 800, 300);
    HWND second = perch(50, 400, 600, 200);
    SendMessageA(clock, WM_DOCK_UPDATE, (WPARAM)first, 0);
    EXPECT_EQ(clockAt().x, 650 - 500);
    EXPECT_EQ(clockAt().y, 365);
    EXPECT_EQ(AppState.DockTarget, second);

    // Moving the inactive window re-places the clock where it is.
    MoveWindow(first, 0, 0, 800, 300, TRUE);
    SendMessageA(clock, WM_DOCK_UPDATE, (WPARAM)first, 0);
    EXPECT_EQ(clockAt().y, 365);
}

TEST_F(Dock, UnsuitableForegroundWindowsLeaveTheClockAlone)
{
    perch(100, 100, 800, 300);
    update();
    POINT before = clockAt();

    struct {
        const char *what;
        DWORD style, exStyle;
    } unsuitable[] = {{"tool window", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW}, {"frameless popup", WS_POPUP, 0}};
    for (const auto &window : unsuitable) {
        HWND refused = perch(300, 500, 300, 200, window.style, window.exStyle);
        ASSERT_EQ(GetForegroundWindow(), refused) << window.what << " must be in front for the rule to matter";
        update();
        EXPECT_EQ(clockAt().x, before.x) << window.what;
        EXPECT_EQ(clockAt().y, before.y) << window.what;
        EXPECT_EQ(AppState.DockTarget, perches[0]) << window.what;
    }
    EXPECT_TRUE(IsWindowVisible(clock)) << "a refused update never hides the clock";
}

TEST_F(Dock, NothingHappensWhileSuspendedOrWithoutASkin)
{
    perch(100, 100, 800, 300);
    AppState.DockingSuspended = 1;
    update();
    EXPECT_FALSE(IsWindowVisible(clock));
    AppState.DockingSuspended = 0;

    HBITMAP skin = AppState.SkinBitmap;
    AppState.SkinBitmap = NULL;
    update();
    EXPECT_FALSE(IsWindowVisible(clock)) << "no skin in force yet";
    AppState.SkinBitmap = skin;
    update();
    EXPECT_TRUE(IsWindowVisible(clock));
}

TEST_F(Dock, WhileExitingTheClockMovesButStaysHidden)
{
    AppState.ExitRequested = 1;
    perch(100, 100, 800, 300);
    update();
    EXPECT_EQ(clockAt().x, 400);
    EXPECT_FALSE(IsWindowVisible(clock));
}

TEST_F(Dock, MinimiseOrCloseHidesUnlessTheClockIsInFront)
{
    perch(100, 100, 800, 300);
    update();
    ASSERT_TRUE(IsWindowVisible(clock));
    SendMessageA(clock, WM_DOCK_SYSCLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(clock));

    update();
    ASSERT_TRUE(IsWindowVisible(clock));
    MakeForeground(clock);
    SendMessageA(clock, WM_DOCK_SYSCLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(clock));
}

TEST_F(Dock, DestroyedWindowReDocksOrHides)
{
    // In front after the window went: a framed window, or the clock itself,
    // gets an update posted (not done at once); a frameless window leaves
    // nothing to sit on.
    const struct {
        const char *what;
        DWORD style;
        bool clockInFront, redocks;
    } rows[] = {{"a framed window", WS_OVERLAPPEDWINDOW, false, true},
                {"the clock", WS_OVERLAPPEDWINDOW, true, true},
                {"a frameless window", WS_POPUP, false, false}};
    for (const auto &row : rows) {
        HWND window = perch(300, 500, 300, 200, row.style);
        ShowWindow(clock, SW_SHOWNOACTIVATE);
        if (row.clockInFront)
            MakeForeground(clock);
        ASSERT_EQ(GetForegroundWindow(), row.clockInFront ? clock : window) << row.what;
        SendMessageA(clock, WM_DOCK_DESTROYED, 0, 0);
        MSG posted;
        EXPECT_EQ(PeekMessageA(&posted, clock, WM_DOCK_UPDATE, WM_DOCK_UPDATE, PM_REMOVE) != 0, row.redocks)
            << row.what;
        EXPECT_EQ(IsWindowVisible(clock) != 0, row.redocks) << row.what;
    }
}

TEST_F(Dock, ReleasingTheClockRecordsTheOffsetAndGivesTheForegroundBack)
{
    HWND window = perch(100, 100, 800, 300);
    update();
    // As if the move loop had left the clock 120 pixels further left.
    MoveWindow(clock, 280, 20, 101, 38, TRUE);
    MakeForeground(clock);
    SendMessageA(clock, WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    EXPECT_EQ(AppState.ClockOptions.position, 900 - 280);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }));
    update();
    EXPECT_EQ(clockAt().x, 280);
    EXPECT_EQ(clockAt().y, 65) << "the height snaps back to the perch";
}

TEST_F(Dock, ReleaseWithThePerchGoneKeepsTheOffset)
{
    HWND window = perch(100, 100, 800, 300);
    update();
    DestroyWindow(window);
    perches.clear();
    MakeForeground(clock);
    AppState.ClockOptions.position = 123;
    SendMessageA(clock, WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    EXPECT_EQ(AppState.ClockOptions.position, 123);
}

TEST_F(Dock, PlacingOnAPerchThatIsGoneLeavesTheClockWhereItIs)
{
    HWND window = perch(100, 100, 800, 300);
    update();
    MoveWindow(clock, 10, 20, 101, 38, TRUE); // not where the perch would put it
    DestroyWindow(window);
    perches.clear();
    EXPECT_EQ(PlaceClock(clock, window, 500), 1);
    EXPECT_EQ(clockAt().x, 10);
    EXPECT_EQ(clockAt().y, 20);
}

TEST_F(Dock, CreationClearsTheCaptionAndShowWindowIsSwallowed)
{
    // A clock window made with the caption bits set, so that only the
    // creation's own handling can clear them.
    HWND tooltip = AppState.TooltipWindow;
    HWND made = CreateWindowExA(WS_EX_CONTROLPARENT | WS_EX_TOPMOST, "MAIN", "Tickperch OV",
                                WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU, 0, 0, 300, 300,
                                AppState.OwnerWindow, NULL, AppState.AppInstance, NULL);
    ASSERT_TRUE(made != NULL);
    LONG style = GetWindowLongA(made, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), 0);
    EXPECT_EQ(style & (WS_POPUP | WS_CLIPCHILDREN), WS_POPUP | WS_CLIPCHILDREN) << "the other bits stay";

    // The creation posts the first dock update to the window itself.
    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, made, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE));
    EXPECT_EQ(posted.message, (UINT)WM_DOCK_UPDATE);
    EXPECT_EQ(posted.wParam, 0u);
    EXPECT_EQ(posted.lParam, 0);
    EXPECT_FALSE(PeekMessageA(&posted, made, WM_DOCK_UPDATE, WM_DOCK_UPDATE, PM_REMOVE)) << "just one";
    DestroyWindow(made);
    AppState.TooltipWindow = tooltip;
    MSG quit;
    PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE); // its WM_DESTROY asked to quit

    EXPECT_EQ(GetWindowLongA(clock, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_CONTROLPARENT),
              WS_EX_TOPMOST | WS_EX_CONTROLPARENT);
    // WM_SHOWWINDOW is swallowed whatever its status: the default handling
    // would hide the clock as its owner closes or another window is zoomed.
    ShowWindow(clock, SW_SHOWNOACTIVATE);
    for (LPARAM status : {(LPARAM)0, (LPARAM)SW_PARENTCLOSING, (LPARAM)SW_OTHERZOOM}) {
        EXPECT_EQ(SendMessageA(clock, WM_SHOWWINDOW, FALSE, status), 1) << status;
        EXPECT_TRUE(IsWindowVisible(clock)) << status;
    }
    EXPECT_EQ(GetWindow(clock, GW_OWNER), AppState.OwnerWindow);
}
