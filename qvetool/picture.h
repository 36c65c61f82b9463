// A skin's picture as the clock shows it on a true-colour display, and the
// clock face drawn on it, without GDI: for previews on any system.
#ifndef TKP_QVETOOL_PICTURE_H
#define TKP_QVETOOL_PICTURE_H

#include <stdint.h>

#include <vector>

#include "skinformat.h"

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
    uint32_t at(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// The picture of a checked skin image, each pixel in the colour the system
// gives it when it makes the clock's bitmap.
Picture DecodeSkinPicture(const unsigned char *image, const SkinLayout &layout);

struct FaceTime {
    int hour = 0, minute = 0, second = 0; // local time, 0..23, 0..59, 0..59
    int timeSys = 24;                     // 12 shows the AM or PM mark
};

// Draws the face on the picture at the skin's face origin, with the
// program's own digit, colon and mark pictures; parts outside are clipped.
void DrawFace(Picture *picture, int faceLeft, int faceTop, const FaceTime &time);

// The clock as it would look: the face on the picture, RGBA top row first,
// every pixel of the key colour (the picture's top-left) transparent.
std::vector<unsigned char> PreviewRgba(const Picture &skin, int faceLeft, int faceTop, const FaceTime &time);

// Pixels of the key colour; the key is the top-left pixel itself.
size_t CountKeyPixels(const Picture &picture);

#endif
