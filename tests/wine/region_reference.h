// The plain way to build the outline: one GetPixel per pixel and one
// CombineRgn per run. Slow, obviously right; the fast builder is held to it.
#ifndef TKP_TESTS_WINE_REGION_REFERENCE_H
#define TKP_TESTS_WINE_REGION_REFERENCE_H

#include <windows.h>

HRGN BuildKeyColourRegionPerPixel(HWND window, HBITMAP bitmap, int keyX, int keyY);

// TRUE when both regions cover exactly the same pixels.
bool SameRegion(HRGN first, HRGN second);

// A 32-bit picture compatible with the window, made from top-down BGRX pixels.
HBITMAP MakePicture(HWND window, int width, int height, const unsigned *pixels);

#endif
