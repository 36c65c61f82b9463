// The clock on today's Windows: a maximised perch, fullscreen and minimised
// windows in front, and the old rules by settings.
#include "e2ekit.h"
#include "phases.h"

// A window brought to the front. Where the clock is to stay, a spell longer
// than a tick passes, so that neither the hook's report nor the tick's own
// look could still move it: its face shows no tick to wait for there (Wine
// draws nothing of it over a window covering the screen, nor above it).
static void ToFront(HWND window, bool stays)
{
    Activate(window);
    if (stays)
        PumpMessages(1300);
}

static void WindowRules(bool on)
{
    if (!on) {
        WriteSetting("WINDOW", "ONSCREEN", "0");
        WriteSetting("WINDOW", "HIDEFULLSCREEN", "0");
    }
    PerchedClock run;
    StartOnPerch(run);
    ShowWindow(run.perch, SW_MAXIMIZE);
    // On: the face's first row (the skin's row 12) on the screen's first row.
    POINT placed = on ? POINT{Rect(run.perch).right - 500, -12} : PerchPoint(run.perch, 500);
    bool settled = Rect(run.perch).top < 0 && ClockSettlesAt(run.clock, placed);
    CHECK(settled, Format("on a maximised perch (top %ld) at %ld,%ld", Rect(run.perch).top, Rect(run.clock).left, Rect(run.clock).top));
    CHECK(!on || PumpUntil([&] { return ReadFace(run.clock).read; }), "the whole face is read from the screen");
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND video = MakePerch(0, 0, width, height, WS_POPUP);
    ToFront(video, !on);
    CHECK(on ? PumpUntil([&] { return !IsWindowVisible(run.clock); }, ComesWithin) : IsWindowVisible(run.clock) != 0,
          "a frameless popup covering the screen hides the clock, if on");
    if (on) {
        Activate(run.perch);
        CHECK(ClockSettlesAt(run.clock, placed), "a framed window brings it back");
        // The same popup, not another: the taskbar drops a closed window's
        // button late, and that end, reported while a frameless window is
        // in front, hides the clock by the old rule.
        MoveWindow(video, 0, 0, width - 1, height, TRUE);
        ToFront(video, true);
        CHECK(ClockSettlesAt(run.clock, placed, 0), "a popup one column short of the screen leaves it in place");
        Activate(run.perch);
        SendMessageA(run.perch, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        // The command hides the clock at once; a tick later the old rule
        // would have perched it on the minimised window. A hidden clock
        // shows no tick to wait for: a spell longer than one.
        PumpMessages(1300);
        HWND front = GetForegroundWindow(); // Wine keeps a minimised window in front, off screen
        CHECK(front == run.perch ? !IsWindowVisible(run.clock) : ClockSettlesAt(run.clock, PerchPoint(front, 500)),
              Format("a minimised window in front is no perch (clock at %ld,%ld)", Rect(run.clock).left, Rect(run.clock).top));
    }
    DestroyWindow(video);
    ExitAndExpectCleanEnd(run.process, run.clock);
    const char *written = on ? "1" : "0";
    CHECK(ReadSetting("WINDOW", "ONSCREEN") == written && ReadSetting("WINDOW", "HIDEFULLSCREEN") == written,
          "both keys are written at exit");
}

const Phase ScreenPhases[] = {
    {"window_rules", [] { WindowRules(true); }},
    {"old_rules", [] { WindowRules(false); }},
    {NULL, NULL},
};
