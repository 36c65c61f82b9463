// Figures for tools/bench: how fast the clock follows its perch, and how
// soon after its start it stands on the perch.
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "e2ekit.h"
#include "phases.h"

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

static void DockBench()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
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

    const int moves = 300;
    std::vector<double> latencies;
    for (int i = 0; i < moves && docked; i++) {
        int x = 60 + (i * 37) % 240, y = 150 + (i * 53) % 200;
        LONGLONG before = CounterNow();
        MoveWindow(perch, x, y, 700, 400, FALSE);
        if (!SpinUntilAt(clock, PerchPoint(perch, 500), 2000)) {
            CHECK(false, Format("move %d was followed", i));
            break;
        }
        latencies.push_back(CounterMilliseconds(CounterNow() - before));
    }
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        size_t n = latencies.size();
        printf("dock latency over %zu moves: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n", n,
               latencies[n / 2], latencies[std::min(n - 1, (n * 99) / 100)], latencies[n - 1]);
    }
    ExitClock(clock);
    process.waitExit();
}

const Phase BenchPhases[] = {
    {"bench_dock", DockBench},
    {NULL, NULL},
};
