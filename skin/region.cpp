// The outline is built from one read of the picture's pixels: rows are
// scanned for runs and each row's runs handed to the system at once.
#include "region.h"

#include <string.h>

#include "runscan.h"

// Each row's runs become one region; the rows are merged pairwise like the
// digits of a binary counter, so every merge joins two regions of about the
// same size. Adding rectangles one by one to an ever larger region costs the
// square of their number on systems that rebuild the region for each one.
// A picture has fewer than 2^32 rows, so a slot is always free for a new one.
enum { MergeDepth = 32 };

struct RowMerger {
    HRGN pending[MergeDepth]; // pending[i]: a region of 2^i rows' worth, or NULL
};

static void MergeInto(HRGN target, HRGN part)
{
    CombineRgn(target, target, part, RGN_OR);
    DeleteObject(part);
}

static void AddRowRegion(RowMerger *merger, HRGN row)
{
    for (int level = 0; level < MergeDepth; level++) {
        if (!merger->pending[level]) {
            merger->pending[level] = row;
            return;
        }
        MergeInto(row, merger->pending[level]);
        merger->pending[level] = NULL;
    }
}

static void FinishMerge(RowMerger *merger, HRGN result)
{
    for (int level = 0; level < MergeDepth; level++) {
        if (merger->pending[level]) {
            MergeInto(result, merger->pending[level]);
            merger->pending[level] = NULL;
        }
    }
}

// The region of one row's runs, NULL when the row has none.
static HRGN MakeRowRegion(RGNDATA *rowData, const int *starts, const int *ends, size_t runs, int row)
{
    if (runs == 0)
        return NULL;
    RECT *rects = (RECT *)rowData->Buffer;
    for (size_t r = 0; r < runs; r++)
        SetRect(&rects[r], starts[r], row, ends[r], row + 1);
    rowData->rdh.dwSize = sizeof(RGNDATAHEADER);
    rowData->rdh.iType = RDH_RECTANGLES;
    rowData->rdh.nCount = (DWORD)runs;
    rowData->rdh.nRgnSize = (DWORD)(runs * sizeof(RECT));
    SetRect(&rowData->rdh.rcBound, starts[0], row, ends[runs - 1], row + 1);
    return ExtCreateRegion(NULL, (DWORD)(sizeof(RGNDATAHEADER) + runs * sizeof(RECT)), rowData);
}

// Rows are read a strip at a time, so the pixels are scanned while they
// are still in the cache.
enum { StripRows = 32 };

// Reads the strip of scan lines [firstLine, firstLine + lines), counted from
// the bottom row as in a bottom-up picture, as 32-bit pixels.
static int ReadStrip(HDC dc, HBITMAP bitmap, int width, int height, int firstLine, int lines, uint32_t *strip)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return GetDIBits(dc, bitmap, (UINT)firstLine, (UINT)lines, strip, &info, DIB_RGB_COLORS) == lines;
}

HRGN BuildKeyColourRegion(HWND window, HBITMAP bitmap, int keyX, int keyY, int *tooComplex)
{
    if (tooComplex)
        *tooComplex = 0;
    if (!window || !bitmap)
        return NULL;
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    BITMAP picture;
    if (!GetObjectA(bitmap, sizeof picture, &picture) || picture.bmWidth <= 0 || picture.bmHeight <= 0)
        return result;
    int width = picture.bmWidth;
    int height = picture.bmHeight;

    size_t maxRuns = (size_t)(width + 1) / 2;
    HANDLE heap = GetProcessHeap();
    uint32_t *strip = (uint32_t *)HeapAlloc(heap, 0, (SIZE_T)width * StripRows * 4);
    RGNDATA *rowData = (RGNDATA *)HeapAlloc(heap, 0, sizeof(RGNDATAHEADER) + maxRuns * sizeof(RECT));
    int *runBounds = (int *)HeapAlloc(heap, 0, sizeof(int) * 2 * maxRuns);
    HDC windowDc = GetDC(window);
    int complete = strip && rowData && runBounds;

    // A key pixel outside the picture matches nothing, as GetPixel's
    // CLR_INVALID would.
    OutlineScan scan = {0xFFFFFFFF, 0};
    if (complete && keyX >= 0 && keyX < width && keyY >= 0 && keyY < height) {
        complete = ReadStrip(windowDc, bitmap, width, height, height - 1 - keyY, 1, strip);
        scan.key = strip[keyX] & RUN_COLOUR_MASK;
    }

    int *starts = runBounds;
    int *ends = runBounds + maxRuns;
    RowMerger merger = {};
    for (int firstLine = 0; complete && firstLine < height; firstLine += StripRows) {
        int lines = height - firstLine < StripRows ? height - firstLine : StripRows;
        complete = ReadStrip(windowDc, bitmap, width, height, firstLine, lines, strip);
        for (int line = 0; complete && line < lines; line++) {
            int y = height - 1 - (firstLine + line);
            size_t runs = ScanOutlineRow(&scan, strip + (size_t)line * (size_t)width, width, starts, ends);
            if (runs == OUTLINE_TOO_COMPLEX) {
                complete = 0;
                if (tooComplex)
                    *tooComplex = 1;
                break;
            }
            HRGN row = MakeRowRegion(rowData, starts, ends, runs, y);
            if (row)
                AddRowRegion(&merger, row);
        }
    }
    FinishMerge(&merger, result);
    ReleaseDC(window, windowDc);
    if (!complete) {
        // Out of memory or unreadable: a plain rectangle beats a clock with
        // half an outline or none. Too complex: the caller refuses the skin.
        DeleteObject(result);
        result = NULL;
    }
    if (runBounds)
        HeapFree(heap, 0, runBounds);
    if (rowData)
        HeapFree(heap, 0, rowData);
    if (strip)
        HeapFree(heap, 0, strip);
    return result;
}
