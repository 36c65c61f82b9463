// The skin in force: the 1077-byte header of its data file (or the
// built-in values) and, in AppState, its picture.
#ifndef TKP_SKIN_SKIN_H
#define TKP_SKIN_SKIN_H

#include <stdint.h>

#pragma pack(push, 1)
struct SkinHeaderRecord {
    char magic[3]; // "QVE"
    uint16_t headerWord;
    unsigned char reservedA[4];
    unsigned char author[256]; // each text NUL-terminated unless a stranger's file fills all 256 bytes
    unsigned char dataName[256];
    unsigned char homePage[256];
    unsigned char mailAddress[256];
    int32_t faceLeft; // face origin in the picture
    int32_t faceTop;
    int32_t dockOverlap; // how far the clock must keep overlapping its perch
    int32_t dockRise;    // how far the clock's top sits above the perch's top
    int32_t extraValue;
    unsigned char reservedB[24];
};
#pragma pack(pop)

static_assert(sizeof(SkinHeaderRecord) == 1077, "the skin header is stored byte for byte");

// The built-in skin's placement numbers; a packed skin has them too unless
// its author chooses others.
enum { BUILT_IN_FACE_LEFT = 5, BUILT_IN_FACE_TOP = 11, BUILT_IN_DOCK_OVERLAP = 50, BUILT_IN_DOCK_RISE = 35 };
// What every header we write carries in headerWord and extraValue.
enum { SKIN_HEADER_WORD = 1, SKIN_EXTRA_VALUE = 2 };

extern SkinHeaderRecord SkinHeader;

#endif
