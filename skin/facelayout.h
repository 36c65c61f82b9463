// Where the face's pieces go, without any drawing.
#ifndef TKP_SKIN_FACELAYOUT_H
#define TKP_SKIN_FACELAYOUT_H

// Hour as shown: in 12-hour mode hours above 12 lose 12 and get the PM
// mark; every other hour keeps its value (and the AM mark in 12-hour mode).
int ShownHour(int hour, int timeSys, int *isPm);

// Offsets of the face's pieces from the face origin.
enum {
    FACE_MARK_X = 1, FACE_AM_Y = 2, FACE_PM_Y = 11,
    FACE_DIGIT_Y = 1,
    FACE_HOUR_TENS_X = 17, FACE_HOUR_ONES_X = 28, FACE_COLON1_X = 39,
    FACE_MINUTE_TENS_X = 43, FACE_MINUTE_ONES_X = 54, FACE_COLON2_X = 65,
    FACE_SECOND_TENS_X = 69, FACE_SECOND_ONES_X = 80
};

// origin + offset without overflow, for face origins taken from a stranger's skin.
int FacePosition(int origin, int offset);

#endif
