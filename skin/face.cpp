// The face is composed in an off-screen buffer and reaches the window in
// one copy, so the clock never shows a half-drawn face. Only the area being
// painted is composed: once a second the timer asks for the face alone, so
// a paint costs the same whatever the size of the skin's picture.
#include "face.h"

#include <stdint.h>
#include <string.h>

#include "../shell/appstate.h"
#include "facelayout.h"
#include "skin.h"

static const COLORREF FaceTransparent = RGB(255, 255, 255);

// The face's extent from its origin: columns 1 to 88, rows 1 to 18.
enum { FACE_AREA_X = 1, FACE_AREA_Y = 1, FACE_AREA_WIDTH = 88, FACE_AREA_HEIGHT = 18 };

enum { FACE_COLON = 10, FACE_AM = 11, FACE_PM = 12, FACE_BITMAP_COUNT = 13 };
static const char *const FaceBitmapNames[FACE_BITMAP_COUNT] = {
    "NO0", "NO1", "NO2", "NO3", "NO4", "NO5", "NO6", "NO7", "NO8", "NO9", "COLON", "AM", "PM"};

// What every paint reuses, made by the first paint after the skin in force
// changed and released with it:
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
    int pieceX[FACE_BITMAP_COUNT]; // where each face bitmap sits on the sheets
    SIZE pieceSize[FACE_BITMAP_COUNT];
    RECT face; // the face area of the skin it was made for; empty when none
    HDC sheetDc, maskDc, workDc, bufferDc, underFaceDc, pictureDc;
    HBITMAP sheet, maskSheet, workBitmap, buffer, underFace;
} Kit;

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
    DeleteDC(Kit.sheetDc);
    DeleteDC(Kit.maskDc);
    DeleteDC(Kit.workDc);
    DeleteDC(Kit.bufferDc);
    DeleteDC(Kit.underFaceDc);
    DeleteDC(Kit.pictureDc);
    DeleteObject(Kit.sheet);
    DeleteObject(Kit.maskSheet);
    DeleteObject(Kit.workBitmap);
    DeleteObject(Kit.buffer);
    DeleteObject(Kit.underFace);
    memset(&Kit, 0, sizeof Kit);
}

// Copies the face bitmaps onto the sheet, makes their masks beside, and a
// work bitmap for the largest of them.
static int MakeSheets(HDC screen)
{
    HBITMAP pieces[FACE_BITMAP_COUNT] = {};
    int width = 0, height = 0, widest = 0, loaded = 1;
    for (int i = 0; i < FACE_BITMAP_COUNT && loaded; i++) {
        BITMAP size;
        pieces[i] = LoadBitmapA(AppState.AppInstance, FaceBitmapNames[i]);
        loaded = pieces[i] && GetObjectA(pieces[i], sizeof size, &size);
        if (loaded) {
            Kit.pieceX[i] = width;
            Kit.pieceSize[i].cx = size.bmWidth;
            Kit.pieceSize[i].cy = size.bmHeight;
            width += size.bmWidth;
            widest = size.bmWidth > widest ? size.bmWidth : widest;
            height = size.bmHeight > height ? size.bmHeight : height;
        }
    }
    if (loaded) {
        Kit.sheet = CreateCompatibleBitmap(screen, width, height);
        Kit.maskSheet = CreateBitmap(width, height, 1, 1, NULL);
        Kit.workBitmap = CreateCompatibleBitmap(screen, widest, height);
        loaded = Kit.sheet && Kit.maskSheet && Kit.workBitmap;
    }
    if (loaded) {
        SelectObject(Kit.sheetDc, Kit.sheet);
        SelectObject(Kit.maskDc, Kit.maskSheet);
        SelectObject(Kit.workDc, Kit.workBitmap);
        PatBlt(Kit.sheetDc, 0, 0, width, height, WHITENESS);
        for (int i = 0; i < FACE_BITMAP_COUNT; i++) {
            HGDIOBJ previous = SelectObject(Kit.pictureDc, pieces[i]);
            BitBlt(Kit.sheetDc, Kit.pieceX[i], 0, Kit.pieceSize[i].cx, Kit.pieceSize[i].cy, Kit.pictureDc, 0, 0,
                   SRCCOPY);
            SelectObject(Kit.pictureDc, previous);
        }
        MakeMask(Kit.maskDc, width, height, Kit.sheetDc, 0, 0, width, height, FaceTransparent);
    }
    for (int i = 0; i < FACE_BITMAP_COUNT; i++)
        DeleteObject(pieces[i]);
    return loaded;
}

// Copies the picture under the face, kept in the picture's coordinates.
static int CopyUnderFace(HDC screen)
{
    if (!FaceArea(&Kit.face))
        return 1; // no face on this picture: no tick ever repaints it
    int width = Kit.face.right - Kit.face.left, height = Kit.face.bottom - Kit.face.top;
    Kit.underFace = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = Kit.underFace ? SelectObject(Kit.pictureDc, AppState.SkinBitmap) : NULL;
    if (!previous)
        return 0;
    SelectObject(Kit.underFaceDc, Kit.underFace);
    SetViewportOrgEx(Kit.underFaceDc, -Kit.face.left, -Kit.face.top, NULL);
    BitBlt(Kit.underFaceDc, Kit.face.left, Kit.face.top, width, height, Kit.pictureDc, Kit.face.left,
           Kit.face.top, SRCCOPY);
    SelectObject(Kit.pictureDc, previous);
    return 1;
}

static int MakeFaceKit(void)
{
    HDC screen = GetDC(NULL);
    HDC *dcs[] = {&Kit.sheetDc, &Kit.maskDc, &Kit.workDc, &Kit.bufferDc, &Kit.underFaceDc, &Kit.pictureDc};
    int made = screen != NULL;
    for (HDC *dc : dcs)
        made = made && (*dc = CreateCompatibleDC(screen)) != NULL;
    made = made && MakeSheets(screen) && CopyUnderFace(screen);
    if (made) {
        Kit.buffer = CreateCompatibleBitmap(screen, FACE_AREA_WIDTH, FACE_AREA_HEIGHT);
        made = Kit.buffer && SelectObject(Kit.bufferDc, Kit.buffer);
    }
    if (screen)
        ReleaseDC(NULL, screen);
    if (!made) {
        ReleaseFaceResources();
        return 0;
    }
    Kit.ready = 1;
    return 1;
}

// Lays one face bitmap on the buffer at (x, y) of the picture, white
// showing through. One that misses the area being composed would change
// no pixel of it and is left out.
static void DrawFaceBitmap(const RECT *area, int which, int x, int y)
{
    int width = Kit.pieceSize[which].cx, height = Kit.pieceSize[which].cy;
    if (x >= area->right || y >= area->bottom || (int64_t)x + width <= area->left ||
        (int64_t)y + height <= area->top)
        return;
    MaskedSource piece = {Kit.sheetDc, Kit.pieceX[which], 0, width, height, Kit.maskDc, Kit.pieceX[which], 0};
    CopyThroughMask(Kit.bufferDc, x, y, width, height, &piece, Kit.workDc);
}

static void DrawDigit(const RECT *area, int digit, int x, int y)
{
    if (digit >= 0 && digit <= 9)
        DrawFaceBitmap(area, digit, x, y);
}

static void DrawMeridiem(const RECT *area, int isAm)
{
    int x = FacePosition(SkinHeader.faceLeft, FACE_MARK_X);
    int y = FacePosition(SkinHeader.faceTop, isAm ? FACE_AM_Y : FACE_PM_Y);
    DrawFaceBitmap(area, isAm ? FACE_AM : FACE_PM, x, y);
}

static void DrawColons(const RECT *area)
{
    int y = FacePosition(SkinHeader.faceTop, FACE_DIGIT_Y);
    DrawFaceBitmap(area, FACE_COLON, FacePosition(SkinHeader.faceLeft, FACE_COLON1_X), y);
    DrawFaceBitmap(area, FACE_COLON, FacePosition(SkinHeader.faceLeft, FACE_COLON2_X), y);
}

int FaceArea(RECT *area)
{
    BITMAP picture;
    if (!AppState.SkinBitmap || !GetObjectA(AppState.SkinBitmap, sizeof picture, &picture))
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
    int timeSys = AppState.ClockOptions.timeSys;
    int isPm;
    int hour = ShownHour(time->wHour, timeSys, &isPm);
    int originX = SkinHeader.faceLeft;
    int digitY = FacePosition(SkinHeader.faceTop, FACE_DIGIT_Y);
    if (timeSys == 12)
        DrawMeridiem(area, !isPm);
    if (hour / 10 != 0)
        DrawDigit(area, hour / 10, FacePosition(originX, FACE_HOUR_TENS_X), digitY);
    DrawDigit(area, hour % 10, FacePosition(originX, FACE_HOUR_ONES_X), digitY);
    DrawDigit(area, time->wMinute / 10, FacePosition(originX, FACE_MINUTE_TENS_X), digitY);
    DrawDigit(area, time->wMinute % 10, FacePosition(originX, FACE_MINUTE_ONES_X), digitY);
    DrawDigit(area, time->wSecond / 10, FacePosition(originX, FACE_SECOND_TENS_X), digitY);
    DrawDigit(area, time->wSecond % 10, FacePosition(originX, FACE_SECOND_ONES_X), digitY);
    DrawColons(area);
}

// Whether the picture under the face that the kit holds covers the area.
static int WithinFace(const RECT *area)
{
    return area->left >= Kit.face.left && area->top >= Kit.face.top && area->right <= Kit.face.right &&
           area->bottom <= Kit.face.bottom;
}

int PaintFaceAt(HDC windowDc, const SYSTEMTIME *time)
{
    // No skin yet: nothing to show (the window is still hidden then).
    BITMAP picture;
    if (!AppState.SkinBitmap || !GetObjectA(AppState.SkinBitmap, sizeof picture, &picture))
        return 1;
    RECT area, whole;
    SetRect(&whole, 0, 0, picture.bmWidth, picture.bmHeight);
    if (GetClipBox(windowDc, &area) == ERROR || !IntersectRect(&area, &area, &whole))
        return 1;
    if (!Kit.ready && !MakeFaceKit())
        return 1;

    // A repaint of more than the face (the first show, an uncovered
    // window) gets a buffer for that paint only: a large skin's would be
    // megabytes held for nothing.
    int width = area.right - area.left, height = area.bottom - area.top;
    HBITMAP largeBuffer = NULL;
    if (width > FACE_AREA_WIDTH || height > FACE_AREA_HEIGHT) {
        largeBuffer = CreateCompatibleBitmap(Kit.bufferDc, width, height);
        if (!largeBuffer)
            return 1;
        SelectObject(Kit.bufferDc, largeBuffer);
    }
    // The buffer's top-left corner is the area's: everything is drawn in
    // the picture's coordinates. A tick's area lies within the face, whose
    // picture is at hand; a larger one is copied from the picture itself.
    SetViewportOrgEx(Kit.bufferDc, -area.left, -area.top, NULL);
    HDC under = Kit.underFaceDc;
    HGDIOBJ previous = NULL;
    if (!WithinFace(&area)) {
        previous = SelectObject(Kit.pictureDc, AppState.SkinBitmap);
        under = previous ? Kit.pictureDc : NULL;
    }
    if (under) {
        BitBlt(Kit.bufferDc, area.left, area.top, width, height, under, area.left, area.top, SRCCOPY);
        if (previous)
            SelectObject(Kit.pictureDc, previous);
        ComposeFace(&area, time);
        BitBlt(windowDc, area.left, area.top, width, height, Kit.bufferDc, area.left, area.top, SRCCOPY);
    }
    if (largeBuffer) {
        SelectObject(Kit.bufferDc, Kit.buffer);
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
