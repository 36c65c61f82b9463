// The face painted the way the clock painted it before it composed only
// what changes: the whole picture copied into a buffer of its size, every
// piece laid on through TransparentBlit with DCs and bitmaps of its own, and
// the whole buffer copied to the window. Slow for large pictures, plainly
// right; the tests hold the painter to its pixels, the benchmark to its time.
#ifndef TKP_TESTS_WINE_FACE_REFERENCE_H
#define TKP_TESTS_WINE_FACE_REFERENCE_H

#include <windows.h>

int PaintFaceWholePicture(HDC windowDc, const SYSTEMTIME *time);

#endif
