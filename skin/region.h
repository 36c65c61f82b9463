// The window's outline: every pixel of the picture not of the key colour.
#ifndef TKP_SKIN_REGION_H
#define TKP_SKIN_REGION_H

#include <windows.h>

// Region in the picture's pixel coordinates; NULL for a NULL window or bitmap.
HRGN BuildKeyColourRegion(HWND window, HBITMAP bitmap, int keyX, int keyY);

#endif
