#include "region_reference.h"

#include <vector>

#include "../common/win32kit.h"

HRGN BuildKeyColourRegionPerPixel(HWND window, HBITMAP bitmap, int keyX, int keyY)
{
    if (!window || !bitmap)
        return NULL;
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BITMAP picture;
    GetObjectA(bitmap, sizeof picture, &picture);
    COLORREF key = GetPixel(memory, keyX, keyY);
    for (int y = 0; y < picture.bmHeight; y++) {
        int runStart = -1;
        for (int x = 0; x <= picture.bmWidth; x++) {
            bool opaque = x < picture.bmWidth && GetPixel(memory, x, y) != key;
            if (opaque && runStart < 0)
                runStart = x;
            if (!opaque && runStart >= 0) {
                HRGN run = CreateRectRgn(runStart, y, x, y + 1);
                CombineRgn(result, result, run, RGN_OR);
                DeleteObject(run);
                runStart = -1;
            }
        }
    }
    SelectObject(memory, previous);
    ReleaseDC(window, windowDc);
    DeleteDC(memory);
    return result;
}

bool SameRegion(HRGN first, HRGN second)
{
    HRGN difference = CreateRectRgn(0, 0, 0, 0);
    int kind = CombineRgn(difference, first, second, RGN_XOR);
    DeleteObject(difference);
    return kind == NULLREGION;
}

HBITMAP MakePicture(HWND window, int width, int height, const unsigned *pixels)
{
    BITMAPINFO info = TopDown32(width, height);
    HDC windowDc = GetDC(window);
    HBITMAP picture = CreateDIBitmap(windowDc, &info.bmiHeader, CBM_INIT, pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(window, windowDc);
    return picture;
}
