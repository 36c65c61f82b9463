#include "facelayout.h"

#include <stdint.h>

const char *const FacePieceNames[FACE_PIECE_COUNT] = {"NO0", "NO1", "NO2", "NO3",   "NO4", "NO5", "NO6",
                                                      "NO7", "NO8", "NO9", "COLON", "AM",  "PM"};

int ShownHour(int hour, int timeSys, int *isPm)
{
    *isPm = 0;
    if (hour > 12 && timeSys == 12) {
        *isPm = 1;
        return hour - 12;
    }
    return hour;
}

int FacePosition(int origin, int offset)
{
    int64_t position = (int64_t)origin + offset;
    return position > INT32_MAX ? INT32_MAX : (int)position;
}

static void AddPiece(FacePiece *pieces, int *count, int picture, int faceLeft, int faceTop, int x, int y)
{
    FacePiece &piece = pieces[(*count)++];
    piece.picture = picture;
    piece.x = FacePosition(faceLeft, x);
    piece.y = FacePosition(faceTop, y);
}

int LayOutFace(int hour, int minute, int second, int timeSys, int faceLeft, int faceTop,
               FacePiece pieces[FACE_MOST_PIECES])
{
    int isPm;
    int shown = ShownHour(hour, timeSys, &isPm);
    int count = 0;
    if (timeSys == 12)
        AddPiece(pieces, &count, isPm ? FACE_PIECE_PM : FACE_PIECE_AM, faceLeft, faceTop, FACE_MARK_X,
                 isPm ? FACE_PM_Y : FACE_AM_Y);
    const int digits[FACE_DIGIT_COUNT] = {shown / 10, shown % 10, minute / 10, minute % 10, second / 10, second % 10};
    for (int i = 0; i < FACE_DIGIT_COUNT; i++) {
        // A time out of range has figures no picture shows: they are left out.
        if (digits[i] < 0 || digits[i] > 9 || (i == 0 && digits[i] == 0))
            continue;
        AddPiece(pieces, &count, digits[i], faceLeft, faceTop, FaceDigitX[i], FACE_DIGIT_Y);
    }
    AddPiece(pieces, &count, FACE_PIECE_COLON, faceLeft, faceTop, FACE_COLON1_X, FACE_DIGIT_Y);
    AddPiece(pieces, &count, FACE_PIECE_COLON, faceLeft, faceTop, FACE_COLON2_X, FACE_DIGIT_Y);
    return count;
}
