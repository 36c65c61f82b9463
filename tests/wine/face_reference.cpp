#include "face_reference.h"

#include "shell/appstate.h"
#include "skin/face.h"
#include "skin/facelayout.h"
#include "skin/skin.h"

// One piece onto the buffer. The piece bitmaps stay loaded between paints,
// as they did in that painter.
static void DrawPiece(HDC windowDc, HDC bufferDc, int which, int x, int y)
{
    static const char *const names[] = {"NO0", "NO1", "NO2", "NO3", "NO4", "NO5", "NO6",
                                        "NO7", "NO8", "NO9", "COLON", "AM", "PM"};
    static HBITMAP loaded[sizeof names / sizeof names[0]];
    if (!loaded[which])
        loaded[which] = LoadBitmapA(AppState.AppInstance, names[which]);
    BITMAP size;
    GetObjectA(loaded[which], sizeof size, &size);
    HDC sourceDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(sourceDc, loaded[which]);
    TransparentBlit(bufferDc, x, y, size.bmWidth, size.bmHeight, sourceDc, 0, 0, size.bmWidth, size.bmHeight,
                    RGB(255, 255, 255));
    SelectObject(sourceDc, previous);
    DeleteDC(sourceDc);
}

int PaintFaceWholePicture(HDC windowDc, const SYSTEMTIME *time)
{
    enum { COLON = 10, AM = 11, PM = 12 };
    BITMAP picture;
    if (!AppState.SkinBitmap || !GetObjectA(AppState.SkinBitmap, sizeof picture, &picture))
        return 1;
    int timeSys = AppState.ClockOptions.timeSys;
    int isPm;
    int hour = ShownHour(time->wHour, timeSys, &isPm);
    int x = SkinHeader.faceLeft, y = SkinHeader.faceTop;

    HDC pictureDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previousPicture = SelectObject(pictureDc, AppState.SkinBitmap);
    HDC bufferDc = CreateCompatibleDC(windowDc);
    HBITMAP buffer = CreateCompatibleBitmap(windowDc, picture.bmWidth, picture.bmHeight);
    HGDIOBJ previousBuffer = SelectObject(bufferDc, buffer);
    BitBlt(bufferDc, 0, 0, picture.bmWidth, picture.bmHeight, pictureDc, 0, 0, SRCCOPY);
    SelectObject(pictureDc, previousPicture);
    DeleteDC(pictureDc);

    if (timeSys == 12)
        DrawPiece(windowDc, bufferDc, isPm ? PM : AM, FacePosition(x, FACE_MARK_X),
                  FacePosition(y, isPm ? FACE_PM_Y : FACE_AM_Y));
    const int digits[6][2] = {{hour / 10, FACE_HOUR_TENS_X},          {hour % 10, FACE_HOUR_ONES_X},
                              {time->wMinute / 10, FACE_MINUTE_TENS_X}, {time->wMinute % 10, FACE_MINUTE_ONES_X},
                              {time->wSecond / 10, FACE_SECOND_TENS_X}, {time->wSecond % 10, FACE_SECOND_ONES_X}};
    for (int i = hour / 10 ? 0 : 1; i < 6; i++)
        DrawPiece(windowDc, bufferDc, digits[i][0], FacePosition(x, digits[i][1]), FacePosition(y, FACE_DIGIT_Y));
    DrawPiece(windowDc, bufferDc, COLON, FacePosition(x, FACE_COLON1_X), FacePosition(y, FACE_DIGIT_Y));
    DrawPiece(windowDc, bufferDc, COLON, FacePosition(x, FACE_COLON2_X), FacePosition(y, FACE_DIGIT_Y));

    BitBlt(windowDc, 0, 0, picture.bmWidth, picture.bmHeight, bufferDc, 0, 0, SRCCOPY);
    SelectObject(bufferDc, previousBuffer);
    DeleteObject(buffer);
    DeleteDC(bufferDc);
    return 1;
}
