// The program's face pictures (digits, colon, marks) as BMP files, made
// into a source file by the build from the same text pictures as the
// program's resources.
#ifndef TKP_QVETOOL_FACEPICTURES_H
#define TKP_QVETOOL_FACEPICTURES_H

#include <stddef.h>

enum {
    FACE_PICTURE_COLON = 10, // 0..9 are the digits
    FACE_PICTURE_AM,
    FACE_PICTURE_PM,
    FACE_PICTURE_COUNT
};

struct FacePictureFile {
    const char *name;
    const unsigned char *bytes;
    size_t size;
};

extern const FacePictureFile FacePictureFiles[FACE_PICTURE_COUNT];

#endif
