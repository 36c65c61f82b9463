// The outline is built from one read of the picture's pixels: rows are
// scanned for runs and the runs handed to the system in large batches.
#include "region.h"

#include <string.h>

#include "runscan.h"

// Rectangles per ExtCreateRegion call: bounds the batch buffer for huge pictures.
static const DWORD BatchCapacity = 8192;

struct RunBatch {
    RGNDATAHEADER header;
    RECT rects[BatchCapacity];
};

static void FlushBatch(RunBatch *batch, HRGN result)
{
    if (batch->header.nCount == 0)
        return;
    batch->header.nRgnSize = batch->header.nCount * sizeof(RECT);
    HRGN part = ExtCreateRegion(NULL, sizeof(RGNDATAHEADER) + batch->header.nRgnSize, (RGNDATA *)batch);
    if (part) {
        CombineRgn(result, result, part, RGN_OR);
        DeleteObject(part);
    }
    batch->header.nCount = 0;
    SetRectEmpty(&batch->header.rcBound);
}

static void AddRun(RunBatch *batch, HRGN result, int left, int right, int row)
{
    if (batch->header.nCount == BatchCapacity)
        FlushBatch(batch, result);
    RECT *rect = &batch->rects[batch->header.nCount++];
    SetRect(rect, left, row, right, row + 1);
    UnionRect(&batch->header.rcBound, &batch->header.rcBound, rect);
}

// The picture's pixels as 32-bit colours, top row first; NULL on failure.
static uint32_t *ReadPixels(HDC dc, HBITMAP bitmap, int width, int height)
{
    uint32_t *pixels = (uint32_t *)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)width * (SIZE_T)height * 4);
    if (!pixels)
        return NULL;
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(dc, bitmap, 0, (UINT)height, pixels, &info, DIB_RGB_COLORS) != height) {
        HeapFree(GetProcessHeap(), 0, pixels);
        return NULL;
    }
    return pixels;
}

HRGN BuildKeyColourRegion(HWND window, HBITMAP bitmap, int keyX, int keyY)
{
    if (!window || !bitmap)
        return NULL;
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    BITMAP picture;
    if (!GetObjectA(bitmap, sizeof picture, &picture) || picture.bmWidth <= 0 || picture.bmHeight <= 0)
        return result;
    int width = picture.bmWidth;
    int height = picture.bmHeight;

    HDC windowDc = GetDC(window);
    uint32_t *pixels = ReadPixels(windowDc, bitmap, width, height);
    ReleaseDC(window, windowDc);
    RunBatch *batch = (RunBatch *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(RunBatch));
    int *runBounds = (int *)HeapAlloc(GetProcessHeap(), 0, sizeof(int) * (size_t)(width + 1));
    if (pixels && batch && runBounds) {
        // Only the colour counts; the fourth byte of each pixel is padding.
        const uint32_t colourMask = 0x00FFFFFF;
        for (size_t i = 0, count = (size_t)width * (size_t)height; i < count; i++)
            pixels[i] &= colourMask;
        // A key pixel outside the picture matches nothing, as GetPixel's
        // CLR_INVALID would.
        uint32_t key = (keyX >= 0 && keyX < width && keyY >= 0 && keyY < height)
                           ? pixels[(size_t)keyY * (size_t)width + (size_t)keyX]
                           : 0xFFFFFFFF;
        batch->header.dwSize = sizeof(RGNDATAHEADER);
        batch->header.iType = RDH_RECTANGLES;
        int *starts = runBounds;
        int *ends = runBounds + (width + 1) / 2;
        for (int y = 0; y < height; y++) {
            size_t runs = ScanRowRuns(pixels + (size_t)y * (size_t)width, width, key, starts, ends);
            for (size_t r = 0; r < runs; r++)
                AddRun(batch, result, starts[r], ends[r], y);
        }
        FlushBatch(batch, result);
    } else {
        // Out of memory: a plain rectangle beats an invisible clock.
        DeleteObject(result);
        result = NULL;
    }
    if (runBounds)
        HeapFree(GetProcessHeap(), 0, runBounds);
    if (batch)
        HeapFree(GetProcessHeap(), 0, batch);
    if (pixels)
        HeapFree(GetProcessHeap(), 0, pixels);
    return result;
}
