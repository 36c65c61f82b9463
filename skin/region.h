// The window's outline: every pixel of the picture not of the key colour.
#ifndef TKP_SKIN_REGION_H
#define TKP_SKIN_REGION_H

#include <windows.h>

// Region in the picture's pixel coordinates; NULL for a NULL window or
// bitmap, or a picture that cannot be read. An outline of more than
// MAX_OUTLINE_RUNS rectangles is not built: NULL, and *tooComplex (when
// given) is set to 1. The program always passes the top-left pixel (0, 0)
// as the key point; one outside the picture matches no pixel.
HRGN BuildKeyColourRegion(HWND window, HBITMAP bitmap, int keyX, int keyY, int *tooComplex = NULL);

#endif
