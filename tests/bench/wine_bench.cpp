// wine_bench.exe: figures for tools/bench, side by side in one run.
//   - the outline of a large ragged picture, by the fast builder and by the
//     per-pixel method the tests keep as the reference;
//   - one face paint with the built-in and a 2048 x 2048 skin: the face
//     alone as a tick repaints it, against the whole picture as before;
//   - one dialog caption paint, copied from the cache and rendered afresh.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "../common/win32kit.h"
#include "base/appstate.h"
#include "dialogs/caption.h"
#include "dialogs/dialogs.h"
#include "face_reference.h"
#include "region_reference.h"
#include "skin/face.h"
#include "skin/region.h"
#include "skin/skin.h"

static double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A 1024 x 768 disc with a ragged rim and a grid of round holes.
static std::vector<unsigned> RaggedDisc(int width, int height)
{
    const unsigned key = 0x808000;
    std::vector<unsigned> pixels((size_t)width * height, key);
    unsigned seed = 12345;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            seed = seed * 1103515245u + 12345u;
            double dx = x - width / 2.0, dy = y - height / 2.0;
            double rim = 370.0 + (double)((seed >> 16) % 9);
            bool inside = dx * dx + dy * dy < rim * rim;
            int hx = (x % 40) - 20, hy = (y % 40) - 20;
            bool hole = hx * hx + hy * hy < 36;
            if (inside && !hole)
                pixels[(size_t)y * width + x] = 0xE0E0E0 + (unsigned)(x % 16);
        }
    }
    return pixels;
}

static void BenchRegion(HWND window)
{
    const int width = 1024, height = 768;
    std::vector<unsigned> pixels = RaggedDisc(width, height);
    HBITMAP picture = MakePicture(window, width, height, pixels.data());

    std::vector<double> fast;
    HRGN fastRegion = NULL;
    for (int i = 0; i < 7; i++) {
        if (fastRegion)
            DeleteObject(fastRegion);
        LONGLONG start = CounterNow();
        fastRegion = BuildKeyColourRegion(window, picture, 0, 0);
        fast.push_back(CounterMilliseconds(CounterNow() - start));
    }
    LONGLONG start = CounterNow();
    HRGN reference = BuildKeyColourRegionPerPixel(window, picture, 0, 0);
    double perPixel = CounterMilliseconds(CounterNow() - start);
    bool same = SameRegion(fastRegion, reference);
    DWORD rects = GetRegionData(fastRegion, 0, NULL);
    printf("outline of a %dx%d ragged disc with holes (%lu bytes of region data):\n", width, height, rects);
    printf("  fast builder  median %9.2f ms\n", Median(fast));
    printf("  per pixel            %9.2f ms\n", perPixel);
    printf("  ratio                %9.1f x faster, regions %s\n", perPixel / Median(fast),
           same ? "identical" : "DIFFERENT");
    DeleteObject(reference);
    DeleteObject(fastRegion);
    DeleteObject(picture);
}

// The paints compared: a tick's (the face area, to which BeginPaint clips
// the DC then) and a full repaint by the painter, and the whole picture
// composed as the clock did before.
enum { TICK_PAINT, FULL_PAINT, BEFORE_PAINT, PAINT_KINDS };

// A skin to paint, with a target as large as its picture for each kind.
struct PaintBench {
    const char *name;
    HBITMAP picture;
    int faceLeft, faceTop;
    HDC targets[PAINT_KINDS];
    HBITMAP surfaces[PAINT_KINDS];
    std::vector<double> wallMs[PAINT_KINDS];
    double cpuMs[PAINT_KINDS];
};

// Puts the skin in force as the loader does; the painter starts afresh.
static void UsePaintBench(const PaintBench &bench)
{
    ReleaseFaceResources();
    AppState.SkinBitmap = bench.picture;
    SkinHeader.faceLeft = bench.faceLeft;
    SkinHeader.faceTop = bench.faceTop;
}

static void OpenPaintBench(PaintBench &bench, HDC windowDc)
{
    BITMAP size;
    GetObjectA(bench.picture, sizeof size, &size);
    for (int kind = 0; kind < PAINT_KINDS; kind++) {
        bench.targets[kind] = CreateCompatibleDC(windowDc);
        bench.surfaces[kind] = CreateCompatibleBitmap(windowDc, size.bmWidth, size.bmHeight);
        SelectObject(bench.targets[kind], bench.surfaces[kind]);
    }
    UsePaintBench(bench);
    RECT face;
    FaceArea(&face);
    IntersectClipRect(bench.targets[TICK_PAINT], face.left, face.top, face.right, face.bottom);
}

static void ClosePaintBench(PaintBench &bench)
{
    for (int kind = 0; kind < PAINT_KINDS; kind++) {
        DeleteDC(bench.targets[kind]);
        DeleteObject(bench.surfaces[kind]);
    }
    DeleteObject(bench.picture);
}

// Paints the i-th of a run of times; returns the wall time in ms.
static double PaintTime(const PaintBench &bench, int kind, int i)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wHour = (WORD)(i % 24);
    time.wMinute = (WORD)(i % 60);
    time.wSecond = (WORD)((i * 7) % 60);
    LONGLONG start = CounterNow();
    if (kind == BEFORE_PAINT)
        PaintFaceWholePicture(bench.targets[kind], &time);
    else
        PaintFaceAt(bench.targets[kind], &time);
    return CounterMilliseconds(CounterNow() - start);
}

static double ThreadCpuMs()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}}, u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (double)(k.QuadPart + u.QuadPart) / 1e4;
}

// Paints of the kinds given, in turn, for about the time given.
static void TimePaints(PaintBench &bench, int firstKind, int lastKind, double milliseconds)
{
    LONGLONG began = CounterNow();
    for (int i = 0; CounterMilliseconds(CounterNow() - began) < milliseconds; i++)
        for (int kind = firstKind; kind <= lastKind; kind++)
            bench.wallMs[kind].push_back(PaintTime(bench, kind, i));
}

// Wall times: the skins take turns in blocks, so that the load of a shared
// machine falls on both alike, and a tick's paints run apart from the
// large ones, whose megabytes would flush the caches between them. CPU time
// per paint: the mean over a batch, which other processes do not lengthen;
// the thread's times move in 10 ms steps, so a batch takes a second of it.
static void MeasurePaints(PaintBench *benches, int count)
{
    for (int block = 0; block < 6; block++)
        for (int b = 0; b < count; b++) {
            UsePaintBench(benches[b]);
            PaintTime(benches[b], TICK_PAINT, 0); // the painter makes what it keeps
            TimePaints(benches[b], TICK_PAINT, TICK_PAINT, 150);
        }
    for (int block = 0; block < 2; block++)
        for (int b = 0; b < count; b++) {
            UsePaintBench(benches[b]);
            TimePaints(benches[b], FULL_PAINT, BEFORE_PAINT, 500);
        }
    for (int b = 0; b < count; b++) {
        UsePaintBench(benches[b]);
        for (int kind = 0; kind < PAINT_KINDS; kind++) {
            // Reading the thread's times is itself dear: once per 20 paints.
            double start = ThreadCpuMs();
            int paints = 0;
            do {
                for (int i = 0; i < 20; i++)
                    PaintTime(benches[b], kind, paints++);
            } while (paints < 100000 && ThreadCpuMs() - start < 1000);
            benches[b].cpuMs[kind] = (ThreadCpuMs() - start) / paints;
        }
    }
}

// One face paint with the built-in skin and a 2048 x 2048 one.
static void BenchFacePaints(HWND window)
{
    AppState.AppInstance = GetModuleHandleA(NULL);
    AppState.ClockOptions.timeSys = 12;
    const int large = 2048;
    std::vector<unsigned> pixels((size_t)large * large);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = (unsigned)(i * 2654435761u) & 0xFFFFFF;
    PaintBench benches[2] = {};
    benches[0] = {"built-in, 101x38", LoadBitmapA(AppState.AppInstance, "BACK"), 5, 11, {}, {}, {}, {}};
    benches[1] = {"large, 2048x2048", MakePicture(window, large, large, pixels.data()), 1203, 1517, {}, {}, {}, {}};
    HDC windowDc = GetDC(window);
    for (PaintBench &bench : benches)
        OpenPaintBench(bench, windowDc);
    MeasurePaints(benches, 2);
    ReleaseDC(window, windowDc);
    ReleaseFaceResources();
    AppState.SkinBitmap = NULL;

    printf("one face paint, 12-hour: median wall time [CPU time per paint]; targets: a tick's paint\n"
           "with the built-in skin <= 0.5 ms median, with the 2048x2048 skin within 1.5x of that:\n");
    printf("  %-18s %-21s %-21s %-23s %s\n", "skin", "a tick (face area)", "a full repaint", "whole picture (before)",
           "before/tick");
    double tick[2][2];
    for (int b = 0; b < 2; b++) {
        PaintBench &bench = benches[b];
        double wall[PAINT_KINDS];
        for (int kind = 0; kind < PAINT_KINDS; kind++)
            wall[kind] = Median(bench.wallMs[kind]);
        tick[b][0] = wall[TICK_PAINT];
        tick[b][1] = bench.cpuMs[TICK_PAINT];
        printf("  %-18s", bench.name);
        for (int kind = 0; kind < PAINT_KINDS; kind++)
            printf(" %7.3f ms [%7.3f]  ", wall[kind], bench.cpuMs[kind]);
        printf("%5.1fx [%5.1fx]\n", wall[BEFORE_PAINT] / wall[TICK_PAINT],
               bench.cpuMs[BEFORE_PAINT] / bench.cpuMs[TICK_PAINT]);
        ClosePaintBench(bench);
    }
    printf("  a tick's paint, large against built-in: %.2fx [%.2fx]\n", tick[1][0] / tick[0][0],
           tick[1][1] / tick[0][1]);
}

// Non-client paints of the version dialog: the whole frame, of which the
// caption is either one copy from the cache or rendered strip by strip
// (the settings change before each paint throws the cache away).
static double CaptionPaintMedianMicroseconds(HWND dialog, bool afresh, int paints)
{
    std::vector<double> times;
    for (int i = 0; i < paints; i++) {
        LONGLONG start = CounterNow();
        if (afresh)
            SendMessageA(dialog, WM_SETTINGCHANGE, 0, 0);
        SendMessageA(dialog, WM_NCPAINT, 1, 0);
        times.push_back(1000.0 * CounterMilliseconds(CounterNow() - start));
    }
    return Median(times);
}

static void BenchCaption()
{
    AppState.AppInstance = GetModuleHandleA(NULL);
    InitCaptionPainter();
    HWND dialog = CreateDialogParamA(AppState.AppInstance, "ABOUT", NULL, AboutDlgProc, 0);
    if (!dialog) {
        printf("caption paint: the version dialog could not be made\n");
        return;
    }
    SendMessageA(dialog, WM_NCPAINT, 1, 0);
    double cached = CaptionPaintMedianMicroseconds(dialog, false, 2000);
    double afresh = CaptionPaintMedianMicroseconds(dialog, true, 2000);
    RECT rect;
    GetWindowRect(dialog, &rect);
    printf("one caption paint of the version dialog (%ld pixels wide), median of 2000:\n", rect.right - rect.left);
    printf("  from the cache     %8.1f us\n", cached);
    printf("  rendered afresh    %8.1f us\n", afresh);
    printf("  ratio              %8.1f x\n", afresh / cached);
    DestroyWindow(dialog);
}

int main()
{
    HWND window = CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    BenchRegion(window);
    BenchFacePaints(window);
    BenchCaption();
    DestroyWindow(window);
    return 0;
}
