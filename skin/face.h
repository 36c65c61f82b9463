// Painting the clock: the skin picture with the time on it.
#ifndef TKP_SKIN_FACE_H
#define TKP_SKIN_FACE_H

#include <windows.h>

// Paints the whole window for the current local time.
int PaintFace(HDC windowDc);
// The same for a given time (tests and benchmarks paint chosen times).
int PaintFaceAt(HDC windowDc, const SYSTEMTIME *time);

void DrawDigit(HDC windowDc, HDC bufferDc, int digit, int x, int y, COLORREF transparent);
void DrawMeridiem(HDC windowDc, HDC bufferDc, int isAm, COLORREF transparent);
void DrawColons(HDC windowDc, HDC bufferDc, COLORREF transparent);
int TransparentBlit(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, COLORREF transparent);

// The face bitmaps are kept loaded between paints unless this is 0.
void SetFaceBitmapCaching(int keep);

#endif
