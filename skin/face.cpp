// The face is composed in an off-screen buffer and reaches the window in
// one copy, so the clock never shows a half-drawn face.
#include "face.h"

#include "../shell/appstate.h"
#include "facelayout.h"
#include "skin.h"

static const COLORREF FaceTransparent = RGB(255, 255, 255);

enum { FACE_COLON = 10, FACE_AM = 11, FACE_PM = 12, FACE_BITMAP_COUNT = 13 };
static const char *const FaceBitmapNames[FACE_BITMAP_COUNT] = {
    "NO0", "NO1", "NO2", "NO3", "NO4", "NO5", "NO6", "NO7", "NO8", "NO9", "COLON", "AM", "PM"};

static int KeepFaceBitmaps = 1;
static HBITMAP FaceBitmaps[FACE_BITMAP_COUNT];

void SetFaceBitmapCaching(int keep)
{
    KeepFaceBitmaps = keep;
    if (!keep) {
        for (int i = 0; i < FACE_BITMAP_COUNT; i++) {
            if (FaceBitmaps[i])
                DeleteObject(FaceBitmaps[i]);
            FaceBitmaps[i] = NULL;
        }
    }
}

static HBITMAP AcquireFaceBitmap(int which)
{
    if (!KeepFaceBitmaps)
        return LoadBitmapA(AppState.AppInstance, FaceBitmapNames[which]);
    if (!FaceBitmaps[which])
        FaceBitmaps[which] = LoadBitmapA(AppState.AppInstance, FaceBitmapNames[which]);
    return FaceBitmaps[which];
}

static void ReleaseFaceBitmap(HBITMAP bitmap)
{
    if (!KeepFaceBitmaps && bitmap)
        DeleteObject(bitmap);
}

// Copies one face bitmap whole onto the buffer at (x, y), white showing through.
static void DrawFaceBitmap(HDC windowDc, HDC bufferDc, int which, int x, int y, COLORREF transparent)
{
    HBITMAP bitmap = AcquireFaceBitmap(which);
    BITMAP size;
    if (!bitmap || !GetObjectA(bitmap, sizeof size, &size)) {
        ReleaseFaceBitmap(bitmap);
        return;
    }
    HDC sourceDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(sourceDc, bitmap);
    TransparentBlit(bufferDc, x, y, size.bmWidth, size.bmHeight, sourceDc, 0, 0, size.bmWidth, size.bmHeight,
                    transparent);
    SelectObject(sourceDc, previous);
    DeleteDC(sourceDc);
    ReleaseFaceBitmap(bitmap);
}

void DrawDigit(HDC windowDc, HDC bufferDc, int digit, int x, int y, COLORREF transparent)
{
    if (digit >= 0 && digit <= 9)
        DrawFaceBitmap(windowDc, bufferDc, digit, x, y, transparent);
}

void DrawMeridiem(HDC windowDc, HDC bufferDc, int isAm, COLORREF transparent)
{
    int x = FacePosition(SkinHeader.faceLeft, FACE_MARK_X);
    int y = FacePosition(SkinHeader.faceTop, isAm ? FACE_AM_Y : FACE_PM_Y);
    DrawFaceBitmap(windowDc, bufferDc, isAm ? FACE_AM : FACE_PM, x, y, transparent);
}

void DrawColons(HDC windowDc, HDC bufferDc, COLORREF transparent)
{
    int y = FacePosition(SkinHeader.faceTop, FACE_DIGIT_Y);
    DrawFaceBitmap(windowDc, bufferDc, FACE_COLON, FacePosition(SkinHeader.faceLeft, FACE_COLON1_X), y,
                   transparent);
    DrawFaceBitmap(windowDc, bufferDc, FACE_COLON, FacePosition(SkinHeader.faceLeft, FACE_COLON2_X), y,
                   transparent);
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
    SetBkColor(source, transparent);
    SelectObject(maskDc, maskBitmap);
    SelectObject(workDc, workBitmap);

    // Mask: transparent pixels 1, all others 0.
    StretchBlt(maskDc, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
    BitBlt(workDc, 0, 0, width, height, destination, x, y, SRCCOPY);
    StretchBlt(workDc, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCINVERT);
    // The work DC's default colours turn mask 1 into white, 0 into black.
    BitBlt(workDc, 0, 0, width, height, maskDc, 0, 0, SRCAND);
    StretchBlt(workDc, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCINVERT);
    BitBlt(destination, x, y, width, height, workDc, 0, 0, SRCCOPY);

    RestoreDC(source, -1);
    RestoreDC(maskDc, -1);
    RestoreDC(workDc, -1);
    DeleteObject(maskBitmap);
    DeleteObject(workBitmap);
    DeleteDC(maskDc);
    DeleteDC(workDc);
    return 1;
}

int PaintFaceAt(HDC windowDc, const SYSTEMTIME *time)
{
    // No skin yet: nothing to show (the window is still hidden then).
    if (!AppState.SkinBitmap)
        return 1;
    int originX = SkinHeader.faceLeft;
    int originY = SkinHeader.faceTop;
    int timeSys = AppState.ClockOptions.timeSys;
    int isPm;
    int hour = ShownHour(time->wHour, timeSys, &isPm);

    BITMAP picture;
    if (!GetObjectA(AppState.SkinBitmap, sizeof picture, &picture))
        return 1;
    HDC pictureDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previousPicture = SelectObject(pictureDc, AppState.SkinBitmap);
    HDC bufferDc = CreateCompatibleDC(windowDc);
    HBITMAP buffer = CreateCompatibleBitmap(windowDc, picture.bmWidth, picture.bmHeight);
    HGDIOBJ previousBuffer = SelectObject(bufferDc, buffer);
    BitBlt(bufferDc, 0, 0, picture.bmWidth, picture.bmHeight, pictureDc, 0, 0, SRCCOPY);
    SelectObject(pictureDc, previousPicture);
    DeleteDC(pictureDc);

    int digitY = FacePosition(originY, FACE_DIGIT_Y);
    if (timeSys == 12)
        DrawMeridiem(windowDc, bufferDc, !isPm, FaceTransparent);
    if (hour / 10 != 0)
        DrawDigit(windowDc, bufferDc, hour / 10, FacePosition(originX, FACE_HOUR_TENS_X), digitY, FaceTransparent);
    DrawDigit(windowDc, bufferDc, hour % 10, FacePosition(originX, FACE_HOUR_ONES_X), digitY, FaceTransparent);
    DrawDigit(windowDc, bufferDc, time->wMinute / 10, FacePosition(originX, FACE_MINUTE_TENS_X), digitY,
              FaceTransparent);
    DrawDigit(windowDc, bufferDc, time->wMinute % 10, FacePosition(originX, FACE_MINUTE_ONES_X), digitY,
              FaceTransparent);
    DrawDigit(windowDc, bufferDc, time->wSecond / 10, FacePosition(originX, FACE_SECOND_TENS_X), digitY,
              FaceTransparent);
    DrawDigit(windowDc, bufferDc, time->wSecond % 10, FacePosition(originX, FACE_SECOND_ONES_X), digitY,
              FaceTransparent);
    DrawColons(windowDc, bufferDc, FaceTransparent);

    BitBlt(windowDc, 0, 0, picture.bmWidth, picture.bmHeight, bufferDc, 0, 0, SRCCOPY);
    SelectObject(bufferDc, previousBuffer);
    DeleteObject(buffer);
    DeleteDC(bufferDc);
    return 1;
}

int PaintFace(HDC windowDc)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return PaintFaceAt(windowDc, &now);
}
