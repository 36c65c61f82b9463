// The face is composed in an off-screen buffer and reaches the window in
// one copy, so the clock never shows a half-drawn face. Only the area being
// painted is composed: once a second the timer asks for the face alone, so
// a paint costs the same whatever the size of the skin's picture.
#include "face.h"

#include <stdint.h>
#include <string.h>

#include "../base/appstate.h"
#include "facelayout.h"
#include "skin.h"

static const COLORREF FaceTransparent = RGB(255, 255, 255);

// Kept: what every paint reuses, made by the first paint after the skin in
// force changed and released with it:
//   - the face bitmaps side by side on one sheet, their masks on another in
//     the same places, and a work bitmap as large as the largest of them;
//   - a buffer as large as the face;
//   - the picture under the face, copied once.
// Each bitmap stays selected into a DC of its own, since selecting a colour
// bitmap is among the dearest GDI calls (tens of microseconds under Wine):
// a tick's paint selects none. The skin's picture itself is selected only
// while a larger repaint copies from it, so the loader and the outline can
// always use it.
static struct {
    int ready;
    int pieceX[FACE_PIECE_COUNT]; // where each face bitmap sits on the sheets
    SIZE pieceSize[FACE_PIECE_COUNT];
    RECT face; // the face area of the skin it was made for; empty when none
    HDC sheetDc, maskDc, workDc, bufferDc, underFaceDc, pictureDc;
    HBITMAP sheet, maskSheet, workBitmap, buffer, underFace;
} Kept;

// A source area and its mask: 1 where the destination shows through.
struct MaskedSource {
    HDC dc;
    int x, y, width, height;
    HDC maskDc;
    int maskX, maskY;
};

// Mask of the source area: pixels of the transparent colour 1, all others 0.
static void MakeMask(HDC maskDc, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight, COLORREF transparent)
{
    SetBkColor(source, transparent);
    StretchBlt(maskDc, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
}

// The rest of the mask-and-invert method, through a work DC at least
// width x height: background, XOR source, AND mask, XOR source, back.
static void CopyThroughMask(HDC destination, int x, int y, int width, int height, const MaskedSource *source,
                            HDC workDc)
{
    BitBlt(workDc, 0, 0, width, height, destination, x, y, SRCCOPY);
    StretchBlt(workDc, 0, 0, width, height, source->dc, source->x, source->y, source->width, source->height,
               SRCINVERT);
    // The work DC's default colours turn mask 1 into white, 0 into black:
    // transparent pixels keep background XOR source, all others become 0.
    BitBlt(workDc, 0, 0, width, height, source->maskDc, source->maskX, source->maskY, SRCAND);
    StretchBlt(workDc, 0, 0, width, height, source->dc, source->x, source->y, source->width, source->height,
               SRCINVERT);
    BitBlt(destination, x, y, width, height, workDc, 0, 0, SRCCOPY);
}

int TransparentBlit(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, COLORREF transparent)
{
    if (!destination || !source)
        return 0;
    HDC maskDc = CreateCompatibleDC(destination);
    HDC workDc = CreateCompatibleDC(destination);
    HBITMAP maskBitmap = CreateCompatibleBitmap(maskDc, width, height); // fresh DC: monochrome
    HBITMAP workBitmap = CreateCompatibleBitmap(destination, width, height);

    SaveDC(source);
    SaveDC(maskDc);
    SaveDC(workDc);
    SelectObject(maskDc, maskBitmap);
    SelectObject(workDc, workBitmap);
    MakeMask(maskDc, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, transparent);
    MaskedSource masked = {source, sourceX, sourceY, sourceWidth, sourceHeight, maskDc, 0, 0};
    CopyThroughMask(destination, x, y, width, height, &masked, workDc);

    RestoreDC(source, -1);
    RestoreDC(maskDc, -1);
    RestoreDC(workDc, -1);
    DeleteObject(maskBitmap);
    DeleteObject(workBitmap);
    DeleteDC(maskDc);
    DeleteDC(workDc);
    return 1;
}

void ReleaseFaceResources(void)
{
    // The DCs go first, so that no bitmap is selected when it is deleted.
    DeleteDC(Kept.sheetDc);
    DeleteDC(Kept.maskDc);
    DeleteDC(Kept.workDc);
    DeleteDC(Kept.bufferDc);
    DeleteDC(Kept.underFaceDc);
    DeleteDC(Kept.pictureDc);
    DeleteObject(Kept.sheet);
    DeleteObject(Kept.maskSheet);
    DeleteObject(Kept.workBitmap);
    DeleteObject(Kept.buffer);
    DeleteObject(Kept.underFace);
    memset(&Kept, 0, sizeof Kept);
}

// Copies the face bitmaps onto the sheet, makes their masks beside, and a
// work bitmap for the largest of them.
static int MakeSheets(HDC screen)
{
    HBITMAP pieces[FACE_PIECE_COUNT] = {};
    int width = 0, height = 0, widest = 0, loaded = 1;
    for (int i = 0; i < FACE_PIECE_COUNT && loaded; i++) {
        BITMAP size;
        pieces[i] = LoadBitmapA(AppState.AppInstance, FacePieceNames[i]);
        loaded = pieces[i] && GetObject(pieces[i], sizeof size, &size);
        if (loaded) {
            Kept.pieceX[i] = width;
            Kept.pieceSize[i].cx = size.bmWidth;
            Kept.pieceSize[i].cy = size.bmHeight;
            width += size.bmWidth;
            widest = size.bmWidth > widest ? size.bmWidth : widest;
            height = size.bmHeight > height ? size.bmHeight : height;
        }
    }
    if (loaded) {
        Kept.sheet = CreateCompatibleBitmap(screen, width, height);
        Kept.maskSheet = CreateBitmap(width, height, 1, 1, NULL);
        Kept.workBitmap = CreateCompatibleBitmap(screen, widest, height);
        loaded = Kept.sheet && Kept.maskSheet && Kept.workBitmap;
    }
    if (loaded) {
        SelectObject(Kept.sheetDc, Kept.sheet);
        SelectObject(Kept.maskDc, Kept.maskSheet);
        SelectObject(Kept.workDc, Kept.workBitmap);
        PatBlt(Kept.sheetDc, 0, 0, width, height, WHITENESS);
        for (int i = 0; i < FACE_PIECE_COUNT; i++) {
            HGDIOBJ previous = SelectObject(Kept.pictureDc, pieces[i]);
            BitBlt(Kept.sheetDc, Kept.pieceX[i], 0, Kept.pieceSize[i].cx, Kept.pieceSize[i].cy, Kept.pictureDc, 0,
                   0, SRCCOPY);
            SelectObject(Kept.pictureDc, previous);
        }
        MakeMask(Kept.maskDc, width, height, Kept.sheetDc, 0, 0, width, height, FaceTransparent);
    }
    for (int i = 0; i < FACE_PIECE_COUNT; i++)
        DeleteObject(pieces[i]);
    return loaded;
}

// Copies the picture under the face, kept in the picture's coordinates.
static int CopyUnderFace(HDC screen)
{
    if (!FaceArea(&Kept.face))
        return 1; // no face on this picture: no tick ever repaints it
    int width = Kept.face.right - Kept.face.left, height = Kept.face.bottom - Kept.face.top;
    Kept.underFace = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = Kept.underFace ? SelectObject(Kept.pictureDc, AppState.SkinBitmap) : NULL;
    if (!previous)
        return 0;
    SelectObject(Kept.underFaceDc, Kept.underFace);
    SetViewportOrgEx(Kept.underFaceDc, -Kept.face.left, -Kept.face.top, NULL);
    BitBlt(Kept.underFaceDc, Kept.face.left, Kept.face.top, width, height, Kept.pictureDc, Kept.face.left,
           Kept.face.top, SRCCOPY);
    SelectObject(Kept.pictureDc, previous);
    return 1;
}

static int MakeFaceResources(void)
{
    HDC screen = GetDC(NULL);
    HDC *dcs[] = {&Kept.sheetDc, &Kept.maskDc, &Kept.workDc, &Kept.bufferDc, &Kept.underFaceDc, &Kept.pictureDc};
    int made = screen != NULL;
    for (HDC *dc : dcs)
        made = made && (*dc = CreateCompatibleDC(screen)) != NULL;
    made = made && MakeSheets(screen) && CopyUnderFace(screen);
    if (made) {
        Kept.buffer = CreateCompatibleBitmap(screen, FACE_AREA_WIDTH, FACE_AREA_HEIGHT);
        made = Kept.buffer && SelectObject(Kept.bufferDc, Kept.buffer);
    }
    if (screen)
        ReleaseDC(NULL, screen);
    if (!made) {
        ReleaseFaceResources();
        return 0;
    }
    Kept.ready = 1;
    return 1;
}

// Lays one face bitmap on the buffer at (x, y) of the picture, white
// showing through. One that misses the area being composed would change
// no pixel of it and is left out.
static void DrawFaceBitmap(const RECT *area, int which, int x, int y)
{
    int width = Kept.pieceSize[which].cx, height = Kept.pieceSize[which].cy;
    if (x >= area->right || y >= area->bottom || (int64_t)x + width <= area->left ||
        (int64_t)y + height <= area->top)
        return;
    MaskedSource piece = {Kept.sheetDc, Kept.pieceX[which], 0, width, height, Kept.maskDc, Kept.pieceX[which], 0};
    CopyThroughMask(Kept.bufferDc, x, y, width, height, &piece, Kept.workDc);
}

int FaceArea(RECT *area)
{
    BITMAP picture;
    if (!AppState.SkinBitmap || !GetObject(AppState.SkinBitmap, sizeof picture, &picture))
        return 0;
    int left = FacePosition(SkinHeader.faceLeft, FACE_AREA_X);
    int top = FacePosition(SkinHeader.faceTop, FACE_AREA_Y);
    RECT face, whole;
    SetRect(&face, left, top, FacePosition(left, FACE_AREA_WIDTH), FacePosition(top, FACE_AREA_HEIGHT));
    SetRect(&whole, 0, 0, picture.bmWidth, picture.bmHeight);
    return IntersectRect(area, &face, &whole) != 0;
}

// The face over the area, in the buffer, in the order of its pieces.
static void ComposeFace(const RECT *area, const SYSTEMTIME *time)
{
    FacePiece pieces[FACE_MOST_PIECES];
    int count = LayOutFace(time->wHour, time->wMinute, time->wSecond, AppState.ClockOptions.timeSys,
                           SkinHeader.faceLeft, SkinHeader.faceTop, pieces);
    for (int i = 0; i < count; i++)
        DrawFaceBitmap(area, pieces[i].picture, pieces[i].x, pieces[i].y);
}

// Whether the picture under the face that the resources hold covers the area.
static int WithinFace(const RECT *area)
{
    return area->left >= Kept.face.left && area->top >= Kept.face.top && area->right <= Kept.face.right &&
           area->bottom <= Kept.face.bottom;
}

int PaintFaceAt(HDC windowDc, const SYSTEMTIME *time)
{
    // No skin yet: nothing to show (the window is still hidden then).
    BITMAP picture;
    if (!AppState.SkinBitmap || !GetObject(AppState.SkinBitmap, sizeof picture, &picture))
        return 1;
    RECT area, whole;
    SetRect(&whole, 0, 0, picture.bmWidth, picture.bmHeight);
    if (GetClipBox(windowDc, &area) == ERROR || !IntersectRect(&area, &area, &whole))
        return 1;
    if (!Kept.ready && !MakeFaceResources())
        return 1;

    // A repaint of more than the face (the first show, an uncovered
    // window) gets a buffer for that paint only: a large skin's would be
    // megabytes held for nothing.
    int width = area.right - area.left, height = area.bottom - area.top;
    HBITMAP largeBuffer = NULL;
    if (width > FACE_AREA_WIDTH || height > FACE_AREA_HEIGHT) {
        largeBuffer = CreateCompatibleBitmap(Kept.bufferDc, width, height);
        if (!largeBuffer)
            return 1;
        SelectObject(Kept.bufferDc, largeBuffer);
    }
    // The buffer's top-left corner is the area's: everything is drawn in
    // the picture's coordinates. A tick's area lies within the face, whose
    // picture is at hand; a larger one is copied from the picture itself.
    SetViewportOrgEx(Kept.bufferDc, -area.left, -area.top, NULL);
    HDC under = Kept.underFaceDc;
    HGDIOBJ previous = NULL;
    if (!WithinFace(&area)) {
        previous = SelectObject(Kept.pictureDc, AppState.SkinBitmap);
        under = previous ? Kept.pictureDc : NULL;
    }
    if (under) {
        BitBlt(Kept.bufferDc, area.left, area.top, width, height, under, area.left, area.top, SRCCOPY);
        if (previous)
            SelectObject(Kept.pictureDc, previous);
        ComposeFace(&area, time);
        BitBlt(windowDc, area.left, area.top, width, height, Kept.bufferDc, area.left, area.top, SRCCOPY);
    }
    if (largeBuffer) {
        SelectObject(Kept.bufferDc, Kept.buffer);
        DeleteObject(largeBuffer);
    }
    return 1;
}

int PaintFace(HDC windowDc)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return PaintFaceAt(windowDc, &now);
}
