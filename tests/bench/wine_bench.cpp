// wine_bench.exe: figures for tools/bench, side by side in one run.
//   - the outline of a large ragged picture, by the fast builder and by the
//     per-pixel method the tests keep as the reference;
//   - one face paint, with the face bitmaps kept loaded and loaded afresh;
//   - one dialog caption paint, copied from the cache and rendered afresh.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "../common/win32kit.h"
#include "region_reference.h"
#include "dialogs/caption.h"
#include "dialogs/dialogs.h"
#include "shell/appstate.h"
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

static double PaintMedianMicroseconds(HDC target, int paints)
{
    std::vector<double> times;
    SYSTEMTIME time = {};
    time.wYear = 2026;
    for (int i = 0; i < paints; i++) {
        time.wHour = (WORD)(i % 24);
        time.wMinute = (WORD)(i % 60);
        time.wSecond = (WORD)((i * 7) % 60);
        LONGLONG start = CounterNow();
        PaintFaceAt(target, &time);
        times.push_back(1000.0 * CounterMilliseconds(CounterNow() - start));
    }
    return Median(times);
}

static void BenchPaint(HWND window)
{
    AppState.AppInstance = GetModuleHandleA(NULL);
    AppState.SkinBitmap = LoadBitmapA(AppState.AppInstance, "BACK");
    AppState.ClockOptions.timeSys = 12;
    SkinHeader.faceLeft = 5;
    SkinHeader.faceTop = 11;
    HDC windowDc = GetDC(window);
    HDC target = CreateCompatibleDC(windowDc);
    HBITMAP surface = CreateCompatibleBitmap(windowDc, 101, 38);
    HGDIOBJ previous = SelectObject(target, surface);

    SetFaceBitmapCaching(1);
    double kept = PaintMedianMicroseconds(target, 3000);
    SetFaceBitmapCaching(0);
    double fresh = PaintMedianMicroseconds(target, 3000);
    printf("one face paint (12-hour, built-in skin), median of 3000:\n");
    printf("  face bitmaps kept loaded   %8.1f us\n", kept);
    printf("  face bitmaps loaded afresh %8.1f us\n", fresh);

    SelectObject(target, previous);
    DeleteObject(surface);
    DeleteDC(target);
    ReleaseDC(window, windowDc);
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
    BenchPaint(window);
    BenchCaption();
    DestroyWindow(window);
    return 0;
}
