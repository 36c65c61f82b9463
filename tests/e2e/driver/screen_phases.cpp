// The clock on today's Windows: a maximised perch, fullscreen and minimised
// windows in front, a perch the hook library cannot reach (run with the
// driver of the other bitness), and the settings that give the old rules.
#include "e2ekit.h"
#include "phases.h"

static RECT Screen()
{
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

static bool StaysAt(HWND clock, POINT point)
{
    PumpMessages(1300); // a tick and whatever the hook reported
    return ClockSettlesAt(clock, point, 100);
}

static void OnScreenMaximised()
{
    PerchedClock run;
    StartOnPerch(run);
    ShowWindow(run.perch, SW_MAXIMIZE);
    RECT perch = Rect(run.perch);
    CHECK(perch.top < 0, Format("a maximised window starts above the screen (%ld)", perch.top));
    // The face's first row (row 12 of the built-in skin) on the screen's first row.
    POINT inSight = {perch.right - 500, Screen().top - 12};
    CHECK(ClockSettlesAt(run.clock, inSight), Format("the clock comes down to keep its face on the screen (at "
                                                     "%ld,%ld)", Rect(run.clock).left, Rect(run.clock).top));
    bool read = PumpUntil([&] { return ReadFace(run.clock).read; }, 3000);
    CHECK(read, "the whole face is read from the screen");
    if (!read)
        SaveScreenshot("maximised.bmp");
    ShowWindow(run.perch, SW_RESTORE);
    CHECK(ClockSettlesAt(run.clock, PerchPoint(run.perch, 500)), "restored, the usual place to the pixel");
    ExitAndExpectCleanEnd(run.process, run.clock);
    CHECK(ReadSetting("WINDOW", "ONSCREEN") == "1" && ReadSetting("WINDOW", "HIDEFULLSCREEN") == "1",
          "both keys are written at exit with their defaults");
}

static void FullscreenAndMinimised()
{
    PerchedClock run;
    StartOnPerch(run);
    RECT screen = Screen();
    HWND video = MakePerch(0, 0, screen.right, screen.bottom, WS_POPUP | WS_VISIBLE);
    Activate(video);
    CHECK(PumpUntil([&] { return !IsWindowVisible(run.clock); }), "a frameless popup covering the screen hides it");
    HWND framed = MakePerch(300, 450, 500, 300);
    Activate(framed);
    CHECK(ClockSettlesAt(run.clock, PerchPoint(framed, 500)), "a framed window brings it back");
    DestroyWindow(video);

    HWND smaller = MakePerch(0, 0, screen.right - 1, screen.bottom, WS_POPUP | WS_VISIBLE);
    Activate(smaller);
    CHECK(StaysAt(run.clock, PerchPoint(framed, 500)), "a popup one column short of the screen leaves it in place");
    DestroyWindow(smaller);

    Activate(framed);
    CHECK(ClockSettlesAt(run.clock, PerchPoint(framed, 500)), "back on the framed window");
    SendMessageA(framed, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages(1300);
    HWND front = GetForegroundWindow();
    if (front == framed) // Wine keeps it in front, far off screen
        CHECK(!IsWindowVisible(run.clock), Format("a minimised window in front is no perch (clock at %ld,%ld)",
                                                  Rect(run.clock).left, Rect(run.clock).top));
    else
        CHECK(ClockSettlesAt(run.clock, PerchPoint(front, 500)), "the clock went to the window now in front");
    ExitAndExpectCleanEnd(run.process, run.clock);
}

static void OldRules()
{
    WriteSetting("WINDOW", "ONSCREEN", "0");
    WriteSetting("WINDOW", "HIDEFULLSCREEN", "0");
    PerchedClock run;
    StartOnPerch(run);
    ShowWindow(run.perch, SW_MAXIMIZE);
    POINT above = PerchPoint(run.perch, 500);
    CHECK(ClockSettlesAt(run.clock, above), "ONSCREEN=0: the face goes above the screen with the perch's rule");
    RECT screen = Screen();
    HWND video = MakePerch(0, 0, screen.right, screen.bottom, WS_POPUP | WS_VISIBLE);
    Activate(video);
    CHECK(StaysAt(run.clock, above), "HIDEFULLSCREEN=0: it stays over a fullscreen popup");
    ExitAndExpectCleanEnd(run.process, run.clock);
    CHECK(ReadSetting("WINDOW", "ONSCREEN") == "0" && ReadSetting("WINDOW", "HIDEFULLSCREEN") == "0",
          "both keys are written back as read");
}

// Run by the driver of the other bitness, the hook library never sees
// these windows: the tick (and on Windows the window events) must.
static void FollowUnhooked()
{
    PerchedClock run;
    StartOnPerch(run);
    for (int move = 0; move < 3; move++) {
        MoveWindow(run.perch, 80 + 60 * move, 180 + 40 * move, 700, 400, TRUE);
        DWORD start = GetTickCount();
        bool followed = ClockSettlesAt(run.clock, PerchPoint(run.perch, 500), 1600);
        CHECK(followed, Format("move %d is followed within a tick (%lu ms)", move, GetTickCount() - start));
    }
    HWND second = MakePerch(300, 450, 500, 300);
    Activate(second);
    CHECK(ClockSettlesAt(run.clock, PerchPoint(second, 500), 1600), "another window activated, within a tick");
    DestroyWindow(second);
    DestroyWindow(run.perch);
    CHECK(ClockHides(run.clock, 1600), "with its perch gone and nothing in its place the clock hides");
    ExitAndExpectCleanEnd(run.process, run.clock);
}

const Phase ScreenPhases[] = {
    {"onscreen_maximised", OnScreenMaximised},
    {"hide_fullscreen", FullscreenAndMinimised},
    {"old_rules", OldRules},
    {"follow_unhooked", FollowUnhooked},
    {NULL, NULL},
};
