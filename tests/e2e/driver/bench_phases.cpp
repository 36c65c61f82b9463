// Figures for tools/bench: how fast the clock follows its perch, how soon
// after its start it stands on the perch, and what it costs while it idles.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "e2ekit.h"
#include "phases.h"
#include "skinbuilder.h"

// Spins (dispatching our own messages) until the clock stands at the point.
static bool SpinUntilAt(HWND clock, POINT point, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        RECT rect;
        if (GetWindowRect(clock, &rect) && rect.left == point.x && rect.top == point.y && IsWindowVisible(clock))
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        SwitchToThread();
    }
}

// Moves the perch and times each move until the clock stands at its new
// place; pauses put the moves at every point of the clock's second.
static void TimeMoves(const char *what, HWND clock, HWND perch, int moves, bool pauses)
{
    std::vector<double> latencies;
    for (int i = 0; i < moves; i++) {
        if (pauses)
            PumpMessages(100 + (i * 379) % 900);
        int x = 60 + (i * 37) % 240, y = 150 + (i * 53) % 200;
        LONGLONG before = CounterNow();
        MoveWindow(perch, x, y, 700, 400, FALSE);
        if (!SpinUntilAt(clock, PerchPoint(perch, 500), 3000)) {
            CHECK(false, Format("move %d was followed", i));
            break;
        }
        latencies.push_back(CounterMilliseconds(CounterNow() - before));
    }
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        size_t n = latencies.size();
        printf("%s over %zu moves: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n", what, n,
               latencies[n / 2], latencies[std::min(n - 1, (n * 99) / 100)], latencies[n - 1]);
    }
}

static void DockBench()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    // TKP_DOCK_RULES=plain: the perch's rule alone, for the comparison.
    char rules[8] = "";
    GetEnvironmentVariableA("TKP_DOCK_RULES", rules, sizeof rules);
    const char *on = strcmp(rules, "plain") == 0 ? "0" : "1";
    WriteSetting("WINDOW", "ONSCREEN", on);
    WriteSetting("WINDOW", "HIDEFULLSCREEN", on);
    HWND perch = MakePerch(100, 200, 700, 400);
    Activate(perch);
    PumpMessages(300);

    ClockProcess process;
    LONGLONG started = CounterNow();
    process.start();
    HWND clock = NULL;
    while (!(clock = FindWindowA("MAIN", "Tickperch OV")) && CounterMilliseconds(CounterNow() - started) < 10000)
        SwitchToThread();
    bool docked = clock && SpinUntilAt(clock, PerchPoint(perch, 500), 10000);
    double firstDock = CounterMilliseconds(CounterNow() - started);
    CHECK(docked, "the clock docks");
    printf("first dock after process start: %.1f ms\n", firstDock);

    if (docked)
        TimeMoves(Format("dock latency (ONSCREEN=%s HIDEFULLSCREEN=%s)", on, on).c_str(), clock, perch, 300, false);
    ExitClock(clock);
    process.waitExit();
}

// Run by the driver of the other bitness: the hook library does not see its perch.
static void OtherBitnessBench()
{
    PerchedClock run;
    StartOnPerch(run);
    if (run.clock)
        TimeMoves("perch of the other bitness", run.clock, run.perch, 20, true);
    ExitAndExpectCleanEnd(run.process, run.clock);
}

// The length of an idle spell: a minute, or TKP_IDLE_SECONDS.
static DWORD IdleMilliseconds()
{
    char value[16];
    DWORD length = GetEnvironmentVariableA("TKP_IDLE_SECONDS", value, sizeof value);
    int seconds = length > 0 && length < sizeof value ? atoi(value) : 0;
    return (seconds > 0 ? seconds : 60) * 1000u;
}

// The runner reads the CPU time spent between the two lines. Meanwhile the
// driver wakes only for its perch's messages, so that it adds nothing.
static void IdleSpell(const char *what)
{
    // Away from every clock window: a clock under the pointer keeps its
    // tooltip's timers running.
    SetCursorPos(2, 2);
    printf("cpu-begin %s\n", what);
    fflush(stdout);
    DWORD start = GetTickCount(), length = IdleMilliseconds();
    for (DWORD elapsed; (elapsed = GetTickCount() - start) < length;) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, length - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    printf("cpu-end %s\n", what);
    fflush(stdout);
}

// The same desktop and perch as the clock's spells, without the clock.
static void IdleDesktop()
{
    HWND perch = MakePerch(100, 200, 700, 400);
    Activate(perch);
    PumpMessages(2000);
    IdleSpell("desktop");
}

static void IdleClock(const char *what, int skinWidth)
{
    PerchedClock run;
    StartOnPerch(run);
    RECT shown = run.clock ? Rect(run.clock) : RECT{};
    CHECK(shown.right - shown.left == skinWidth, Format("the clock shows its %d pixels wide skin", skinWidth));
    if (!run.clock)
        return;
    PumpMessages(2000); // the start-up's paints are over
    IdleSpell(what);
    ExitAndExpectCleanEnd(run.process, run.clock);
}

static void IdleBuiltIn()
{
    IdleClock("built-in skin", 101);
}

// 2048 x 2048, its face near the top-left corner so that it is on screen.
static void IdleLarge()
{
    skintest::SkinRecipe recipe;
    recipe.width = 2048;
    recipe.height = 2048;
    recipe.faceLeft = 40;
    recipe.faceTop = 20;
    recipe.pixel = [](int x, int y) -> uint32_t { return x == 0 && y == 0 ? 0 : 1 + (uint32_t)(x / 16 + y / 16) % 200; };
    skintest::Bytes image = skintest::BuildSkin(recipe);
    std::string path = App.file("large.qve");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, image.data(), (DWORD)image.size(), &written, NULL);
    CloseHandle(file);
    CHECK(written == image.size(), "the large skin is written");
    WriteSetting("DATAFILE", "FILENAME", path.c_str());
    IdleClock("2048x2048 skin", 2048);
}

const Phase BenchPhases[] = {
    {"bench_dock", DockBench},
    {"bench_other", OtherBitnessBench},
    {"idle_desktop", IdleDesktop},
    {"idle_builtin", IdleBuiltIn},
    {"idle_large", IdleLarge},
    {NULL, NULL},
};
