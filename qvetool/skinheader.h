// The header that `pack` writes and `unpack` reads back: the credits and
// placement numbers a skin's author chooses, the rest as the built-in skin
// has it.
#ifndef TKP_QVETOOL_SKINHEADER_H
#define TKP_QVETOOL_SKINHEADER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "skin.h"

struct PackFields {
    // Shift-JIS bytes, at most 255 each; empty = absent.
    std::string author, dataName, homePage, mailAddress;
    // The built-in skin's numbers unless chosen.
    int32_t faceLeft = BUILT_IN_FACE_LEFT, faceTop = BUILT_IN_FACE_TOP;
    int32_t dockOverlap = BUILT_IN_DOCK_OVERLAP, dockRise = BUILT_IN_DOCK_RISE;
};

const size_t SKIN_TEXT_BYTES = 256;

// The 1077-byte header: "QVE", headerWord 1, extraValue 2, reserved bytes
// and everything after each text's NUL zero.
std::vector<unsigned char> MakeSkinHeader(const PackFields &fields);

// The fields of a 1077-byte header. Parts that `pack` would not write back
// byte for byte are named in *differences (in words for the user).
PackFields ReadPackFields(const unsigned char *header, std::vector<std::string> *differences);

// The four texts in header order, with their option names and offsets.
struct TextField {
    const char *option;     // "--author"
    const char *label;      // how the user knows the field
    size_t offset;          // file offset of its 256 bytes
    std::string PackFields::*text;
};
extern const TextField TextFields[4];

#endif
