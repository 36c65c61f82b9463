#include "face_reference.h"

#include "base/appstate.h"
#include "skin/face.h"
#include "skin/facelayout.h"
#include "skin/skin.h"

// One piece onto the buffer. The piece bitmaps stay loaded between paints,
// as they did in that painter.
static void DrawPiece(HDC windowDc, HDC bufferDc, const FacePiece &piece)
{
    static HBITMAP loaded[FACE_PIECE_COUNT];
    if (!loaded[piece.picture])
        loaded[piece.picture] = LoadBitmapA(AppState.AppInstance, FacePieceNames[piece.picture]);
    BITMAP size;
    GetObjectA(loaded[piece.picture], sizeof size, &size);
    HDC sourceDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(sourceDc, loaded[piece.picture]);
    TransparentBlit(bufferDc, piece.x, piece.y, size.bmWidth, size.bmHeight, sourceDc, 0, 0, size.bmWidth,
                    size.bmHeight, RGB(255, 255, 255));
    SelectObject(sourceDc, previous);
    DeleteDC(sourceDc);
}

int PaintFaceWholePicture(HDC windowDc, const SYSTEMTIME *time)
{
    BITMAP picture;
    if (!AppState.SkinBitmap || !GetObjectA(AppState.SkinBitmap, sizeof picture, &picture))
        return 1;
    HDC pictureDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previousPicture = SelectObject(pictureDc, AppState.SkinBitmap);
    HDC bufferDc = CreateCompatibleDC(windowDc);
    HBITMAP buffer = CreateCompatibleBitmap(windowDc, picture.bmWidth, picture.bmHeight);
    HGDIOBJ previousBuffer = SelectObject(bufferDc, buffer);
    BitBlt(bufferDc, 0, 0, picture.bmWidth, picture.bmHeight, pictureDc, 0, 0, SRCCOPY);
    SelectObject(pictureDc, previousPicture);
    DeleteDC(pictureDc);

    FacePiece pieces[FACE_MOST_PIECES];
    int count = LayOutFace(time->wHour, time->wMinute, time->wSecond, AppState.ClockOptions.timeSys,
                           SkinHeader.faceLeft, SkinHeader.faceTop, pieces);
    for (int i = 0; i < count; i++)
        DrawPiece(windowDc, bufferDc, pieces[i]);

    BitBlt(windowDc, 0, 0, picture.bmWidth, picture.bmHeight, bufferDc, 0, 0, SRCCOPY);
    SelectObject(bufferDc, previousBuffer);
    DeleteObject(buffer);
    DeleteDC(bufferDc);
    return 1;
}
