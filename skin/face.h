// Painting the clock: the skin picture with the time on it.
#ifndef TKP_SKIN_FACE_H
#define TKP_SKIN_FACE_H

#include <windows.h>

// Paints the current local time into the part of the window that the DC
// may draw on (its clip box; for the DC of BeginPaint, the area to repaint).
int PaintFace(HDC windowDc);
// The same for a given time (tests and tools paint chosen times). A memory
// DC without a clip region gets the whole picture.
int PaintFaceAt(HDC windowDc, const SYSTEMTIME *time);

// The part of the picture the face covers (columns X + 1 to X + 88, rows
// Y + 1 to Y + 18 of the skin in force). 0 when none of it is in the picture.
int FaceArea(RECT *area);

// Frees what the painter keeps between paints (the face bitmaps and their
// masks, the picture under the face, its device contexts); the next paint
// makes them again. Whoever changes the skin in force (its picture or its
// face origin) calls it, and the program does at exit.
void ReleaseFaceResources(void);

// The mask-and-invert copy on its own: source pixels of the transparent
// colour leave the destination as it was. 0, drawing nothing, for a NULL DC.
// The painter runs the same steps through the DCs it keeps; this one is
// for the tests' whole-picture reference, which paints as the clock once did.
int TransparentBlit(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, COLORREF transparent);

#endif
