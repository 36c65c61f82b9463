// The layout of a skin data file (.qve) and the check that a whole file image
// must pass before any byte of its picture reaches GDI. Skin files come from
// strangers, so nothing here trusts a single number in them. No windows.h:
// this compiles and is tested natively as well.
//
// A skin file is a 1077-byte header (magic "QVE", credits, placement numbers)
// followed by a complete BMP file: a 14-byte BITMAPFILEHEADER at 1077, the
// BITMAPINFO at 1091 and the pixel rows at 1077 + bfOffBits.
#ifndef TKP_SKINFORMAT_H
#define TKP_SKINFORMAT_H

#include <stddef.h>
#include <stdint.h>

enum SkinVerdict {
    SKIN_OK = 0,
    SKIN_TOO_SHORT,        // shorter than the header plus a BITMAPINFOHEADER
    SKIN_BAD_MAGIC,        // does not begin with "QVE"
    SKIN_BITS_OUTSIDE,     // the pixel rows would start at or past the end
    SKIN_BAD_INFO_SIZE,    // biSize too small, past the end, or names data outside the file
    SKIN_BAD_DIMENSIONS,   // width or height zero, negative width, or above 4096
    SKIN_BAD_PLANES,
    SKIN_BAD_DEPTH,
    SKIN_BAD_COMPRESSION,  // anything but BI_RGB, or BI_BITFIELDS at 16/32 bits
    SKIN_BAD_COLOR_TABLE,  // too many entries, past the end or into the rows
    SKIN_ROWS_OUTSIDE      // the last pixel row would end past the end
};

// No valid skin comes near this: 4096 x 4096 at 32 bits is 64 MiB.
static const uint32_t SKIN_LARGEST_FILE = 96u * 1024u * 1024u;

enum {
    SKIN_HEADER_SIZE = 1077,
    SKIN_FILE_HEADER_OFFSET = 1077,
    SKIN_INFO_OFFSET = 1091,
    SKIN_MIN_IMAGE = 1131
};

// Where a checked image keeps what CreateDIBitmap will read. Every range lies
// inside the image and the BITMAPINFO ends at or before the rows begin.
struct SkinLayout {
    uint32_t infoOffset;   // BITMAPINFO (header, masks, colour table): always 1091
    uint32_t infoSize;     // biSize + bitfield masks (when they follow a 40-byte header) + colour table bytes
    uint32_t bitsOffset;   // 1077 + bfOffBits
    uint32_t bitsSize;     // stride * |height|, the bytes the pixel rows occupy
    int32_t width, height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colorCount;
};

// The exact test a refused image failed, for tools that tell a skin's
// author why. Each names the file offset of the field it read (`offset`),
// what the image holds there or what follows from it (`value`) and the bound
// it broke (`limit`), as noted.
enum SkinRule {
    SKIN_RULE_NONE = 0,
    SKIN_RULE_TOO_SHORT,         // value: image length; limit: SKIN_MIN_IMAGE
    SKIN_RULE_BITS_OUTSIDE,      // bfOffBits; value: 1077 + bfOffBits; limit: image length
    SKIN_RULE_MAGIC,             // offset 0; value: the first three bytes, first in the low byte
    SKIN_RULE_INFO_TOO_SMALL,    // biSize; value: biSize; limit: 40
    SKIN_RULE_INFO_PAST_END,     // biSize; value: 1091 + biSize; limit: image length
    SKIN_RULE_PROFILE_LINKED,    // bV5CSType; value: the type ('LINK')
    SKIN_RULE_PROFILE_PAST_END,  // bV5ProfileData; value: end of the profile; limit: image length
    SKIN_RULE_WIDTH,             // biWidth; value: width; limit: 4096
    SKIN_RULE_HEIGHT,            // biHeight; value: height; limit: 4096 rows either way
    SKIN_RULE_PLANES,            // biPlanes; value: planes; limit: 1
    SKIN_RULE_DEPTH,             // biBitCount; value: bits per pixel
    SKIN_RULE_BITFIELDS_DEPTH,   // biCompression; value: bits per pixel
    SKIN_RULE_MASKS_PAST_END,    // biCompression; value: end of the masks; limit: image length
    SKIN_RULE_COMPRESSION,       // biCompression; value: compression
    SKIN_RULE_COLORS_OVER_DEPTH, // biClrUsed; value: biClrUsed; limit: 1 << bits per pixel
    SKIN_RULE_TOO_MANY_COLORS,   // biClrUsed; value: biClrUsed; limit: 256
    SKIN_RULE_TABLE_PAST_END,    // biClrUsed; value: end of the colour table; limit: image length
    SKIN_RULE_TABLE_INTO_ROWS,   // bfOffBits; value: end of the colour table; limit: 1077 + bfOffBits
    SKIN_RULE_ROWS_OUTSIDE       // biWidth (then height, depth); value: end of the last row; limit: image length
};

struct SkinFault {
    int rule;        // SkinRule; SKIN_RULE_NONE when the image passed
    uint32_t offset; // file offset of the field the rule reads
    int64_t value;
    int64_t limit;
};

// 1 when bytes 0..2 of the header are exactly 'Q', 'V', 'E'; 0 otherwise.
int HasSkinMagic(const unsigned char *header);

// Checks a whole skin file image of `length` bytes; returns a SkinVerdict.
// *layout is filled only on SKIN_OK and left alone otherwise.
int CheckSkinImage(const unsigned char *image, size_t length, SkinLayout *layout);
// The same check, also telling which rule a refused image broke (*fault is
// always filled). Both accept exactly the same images.
int ExplainSkinImage(const unsigned char *image, size_t length, SkinLayout *layout, SkinFault *fault);

// Copies one 256-byte text field of the header into out: up to its NUL or all
// 256 bytes when a stranger's file left none, cut to outSize - 1 bytes, always
// NUL-terminated when outSize > 0. Returns the number of bytes copied.
size_t CopySkinText(const unsigned char field[256], char *out, size_t outSize);

#endif
