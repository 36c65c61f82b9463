// Where the face's pieces go, without any drawing. The painter, qvetool's
// preview and its explanations, and the tests all lay the face out from here.
#ifndef TKP_SKIN_FACELAYOUT_H
#define TKP_SKIN_FACELAYOUT_H

// The face's pictures, numbered as their resources NO0..NO9, COLON, AM, PM.
enum { FACE_PIECE_COLON = 10, FACE_PIECE_AM = 11, FACE_PIECE_PM = 12, FACE_PIECE_COUNT = 13 };
extern const char *const FacePieceNames[FACE_PIECE_COUNT];

// The part of the picture the face covers, from the face origin: columns 1
// to 88, rows 1 to 18.
enum { FACE_AREA_X = 1, FACE_AREA_Y = 1, FACE_AREA_WIDTH = 88, FACE_AREA_HEIGHT = 18 };

// Offsets of the face's pieces from the face origin. The six digits (hour,
// minute and second, tens then units) stand on one row.
enum { FACE_MARK_X = 1, FACE_AM_Y = 2, FACE_PM_Y = 11, FACE_DIGIT_Y = 1, FACE_COLON1_X = 39, FACE_COLON2_X = 65 };
enum { FACE_DIGIT_COUNT = 6 };
inline constexpr int FaceDigitX[FACE_DIGIT_COUNT] = {17, 28, 43, 54, 69, 80};

// One piece of a laid-out face: its picture and where its top-left corner
// goes in the skin's picture.
struct FacePiece {
    int picture;
    int x, y;
};
enum { FACE_MOST_PIECES = 9 }; // the mark, six digits, two colons

// The pieces that show the time, in the order they are laid on: the AM or
// PM mark (12-hour mode only), the digits (no hour tens for a single-figure
// hour), the two colons. Returns their number.
int LayOutFace(int hour, int minute, int second, int timeSys, int faceLeft, int faceTop,
               FacePiece pieces[FACE_MOST_PIECES]);

// Hour as shown: in 12-hour mode hours above 12 lose 12 and get the PM
// mark; every other hour keeps its value (and the AM mark in 12-hour mode).
int ShownHour(int hour, int timeSys, int *isPm);

// origin + offset without overflow, for face origins taken from a stranger's skin.
int FacePosition(int origin, int offset);

#endif
