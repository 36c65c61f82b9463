// The program's face pictures (digits, colon, marks) as BMP files, made
// into a source file by the build from the same text pictures as the
// program's resources.
#ifndef TKP_QVETOOL_FACEPICTURES_H
#define TKP_QVETOOL_FACEPICTURES_H

#include <stddef.h>

#include "facelayout.h"

// In the order of the face's pieces.
enum { FACE_PICTURE_COUNT = FACE_PIECE_COUNT };

struct FacePictureFile {
    const char *name;
    const unsigned char *bytes;
    size_t size;
};

extern const FacePictureFile FacePictureFiles[FACE_PICTURE_COUNT];

#endif
