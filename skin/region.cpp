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

// What one outline build works in: a strip of pixels, one row's
// rectangles and its run bounds (starts, then ends).
struct OutlineBuffers {
    HANDLE heap;
    size_t maxRuns;
    uint32_t *strip;
    RGNDATA *rowData;
    int *runBounds;
};

static int AllocOutlineBuffers(OutlineBuffers *buffers, int width)
{
    buffers->heap = GetProcessHeap();
    buffers->maxRuns = (size_t)(width + 1) / 2;
    buffers->strip = (uint32_t *)HeapAlloc(buffers->heap, 0, (SIZE_T)width * StripRows * 4);
    buffers->rowData =
        (RGNDATA *)HeapAlloc(buffers->heap, 0, sizeof(RGNDATAHEADER) + buffers->maxRuns * sizeof(RECT));
    buffers->runBounds = (int *)HeapAlloc(buffers->heap, 0, sizeof(int) * 2 * buffers->maxRuns);
    return buffers->strip && buffers->rowData && buffers->runBounds;
}

static void FreeOutlineBuffers(OutlineBuffers *buffers)
{
    if (buffers->runBounds)
        HeapFree(buffers->heap, 0, buffers->runBounds);
    if (buffers->rowData)
        HeapFree(buffers->heap, 0, buffers->rowData);
    if (buffers->strip)
        HeapFree(buffers->heap, 0, buffers->strip);
}

// Scans every row of the picture, a strip at a time, and hands each row's
// region to the merger. 0 when a strip cannot be read or the outline grows
// too complex (*tooComplex then 1).
static int ScanPictureRows(HDC dc, HBITMAP bitmap, int width, int height, OutlineBuffers *buffers,
                           OutlineScan *scan, RowMerger *merger, int *tooComplex)
{
    int *starts = buffers->runBounds;
    int *ends = buffers->runBounds + buffers->maxRuns;
    for (int firstLine = 0; firstLine < height; firstLine += StripRows) {
        int lines = height - firstLine < StripRows ? height - firstLine : StripRows;
        if (!ReadStrip(dc, bitmap, width, height, firstLine, lines, buffers->strip))
            return 0;
        for (int line = 0; line < lines; line++) {
            int y = height - 1 - (firstLine + line);
            size_t runs = ScanOutlineRow(scan, buffers->strip + (size_t)line * (size_t)width, width, starts, ends);
            if (runs == OUTLINE_TOO_COMPLEX) {
                *tooComplex = 1;
                return 0;
            }
            HRGN row = MakeRowRegion(buffers->rowData, starts, ends, runs, y);
            if (row)
                AddRowRegion(merger, row);
        }
    }
    return 1;
}

HRGN BuildKeyColourRegion(HWND window, HBITMAP bitmap, int keyX, int keyY, int *tooComplex)
{
    int complex = 0;
    if (tooComplex)
        *tooComplex = 0;
    if (!window || !bitmap)
        return NULL;
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    BITMAP picture;
    if (!GetObject(bitmap, sizeof picture, &picture) || picture.bmWidth <= 0 || picture.bmHeight <= 0)
        return result;
    int width = picture.bmWidth;
    int height = picture.bmHeight;

    OutlineBuffers buffers = {};
    HDC windowDc = GetDC(window);
    int complete = AllocOutlineBuffers(&buffers, width);

    // A key pixel outside the picture matches nothing, as GetPixel's
    // CLR_INVALID would.
    OutlineScan scan = {0xFFFFFFFF, 0};
    if (complete && keyX >= 0 && keyX < width && keyY >= 0 && keyY < height) {
        complete = ReadStrip(windowDc, bitmap, width, height, height - 1 - keyY, 1, buffers.strip);
        scan.key = buffers.strip[keyX] & RUN_COLOUR_MASK;
    }
    RowMerger merger = {};
    complete = complete && ScanPictureRows(windowDc, bitmap, width, height, &buffers, &scan, &merger, &complex);
    FinishMerge(&merger, result);
    ReleaseDC(window, windowDc);
    if (!complete) {
        // Out of memory or unreadable: a plain rectangle beats a clock with
        // half an outline or none. Too complex: the caller refuses the skin.
        DeleteObject(result);
        result = NULL;
    }
    if (tooComplex)
        *tooComplex = complex;
    FreeOutlineBuffers(&buffers);
    return result;
}
