// Checking a skin file image before GDI sees it. Every offset and size is
// worked out in 64 bits and compared with the image length before use, so a
// hostile number can neither wrap around nor point outside the file.
#include "skinformat.h"

#include <string.h>

namespace {

// Offsets inside the image.
const uint32_t kOffBitsField = SKIN_FILE_HEADER_OFFSET + 10;   // bfOffBits
const uint32_t kBiSize = SKIN_INFO_OFFSET + 0;
const uint32_t kBiWidth = SKIN_INFO_OFFSET + 4;
const uint32_t kBiHeight = SKIN_INFO_OFFSET + 8;
const uint32_t kBiPlanes = SKIN_INFO_OFFSET + 12;
const uint32_t kBiBitCount = SKIN_INFO_OFFSET + 14;
const uint32_t kBiCompression = SKIN_INFO_OFFSET + 16;
const uint32_t kBiClrUsed = SKIN_INFO_OFFSET + 32;

// BITMAPINFOHEADER sizes and the parts of the later header versions that GDI
// may follow out of the header.
const uint32_t kInfoHeaderSize = 40;
const uint32_t kMasksEnd = 52;            // three DWORD masks at header offset 40
const uint32_t kV5HeaderSize = 124;
const uint32_t kV5CSType = 56;            // offsets inside a BITMAPV5HEADER
const uint32_t kV5ProfileData = 112;
const uint32_t kV5ProfileSize = 116;
const uint32_t kProfileLinked = 0x4C494E4B;     // 'LINK'
const uint32_t kProfileEmbedded = 0x4D424544;   // 'MBED'

const uint32_t kBiRgb = 0;
const uint32_t kBiBitfields = 3;
const int64_t kMaxSide = 4096;
const uint32_t kMaxColors = 256;

// The file is little-endian whatever the host; its 32-bit fields sit at odd
// offsets, so they are put together byte by byte.
uint16_t ReadU16(const unsigned char *p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) |
           ((uint32_t)p[3] << 24);
}

int32_t ReadI32(const unsigned char *p)
{
    uint32_t u = ReadU32(p);
    // Two's complement without relying on an out-of-range conversion.
    return u <= 0x7FFFFFFFu ? (int32_t)u : (int32_t)(u - 0x80000000u) - 0x7FFFFFFF - 1;
}

int IsKnownDepth(uint16_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
           bitCount == 24 || bitCount == 32;
}

// A V5 header may point GDI at a colour profile: a file name for a linked
// profile (never to be opened on a stranger's word) or bytes at an offset
// from the header for an embedded one (which must lie inside the image).
// Returns the rule broken, or SKIN_RULE_NONE.
int CheckProfile(const unsigned char *image, uint64_t length, uint32_t biSize, SkinFault *fault)
{
    if (biSize < kV5HeaderSize)
        return SKIN_RULE_NONE;
    const unsigned char *info = image + SKIN_INFO_OFFSET;
    uint32_t csType = ReadU32(info + kV5CSType);
    if (csType == kProfileLinked) {
        fault->offset = SKIN_INFO_OFFSET + kV5CSType;
        fault->value = csType;
        return SKIN_RULE_PROFILE_LINKED;
    }
    if (csType != kProfileEmbedded)
        return SKIN_RULE_NONE;
    uint64_t end = (uint64_t)SKIN_INFO_OFFSET + ReadU32(info + kV5ProfileData) +
                   ReadU32(info + kV5ProfileSize);
    if (end <= length)
        return SKIN_RULE_NONE;
    fault->offset = SKIN_INFO_OFFSET + kV5ProfileData;
    fault->value = (int64_t)end;
    fault->limit = (int64_t)length;
    return SKIN_RULE_PROFILE_PAST_END;
}

// Records the broken rule and hands back the verdict it belongs to.
int Refuse(SkinFault *fault, int rule, uint32_t offset, int64_t value, int64_t limit, int verdict)
{
    fault->rule = rule;
    fault->offset = offset;
    fault->value = value;
    fault->limit = limit;
    return verdict;
}

} // namespace

int HasSkinMagic(const unsigned char *header)
{
    return header[0] == 'Q' && header[1] == 'V' && header[2] == 'E';
}

int CheckSkinImage(const unsigned char *image, size_t length, SkinLayout *layout)
{
    SkinFault fault;
    return ExplainSkinImage(image, length, layout, &fault);
}

int ExplainSkinImage(const unsigned char *image, size_t length, SkinLayout *layout, SkinFault *fault)
{
    fault->rule = SKIN_RULE_NONE;
    fault->offset = 0;
    fault->value = 0;
    fault->limit = 0;
    // Lengths past 2^63 cannot be held by a process; the cast keeps the
    // reported figures signed.
    const int64_t shown = (int64_t)length;
    if (length < SKIN_MIN_IMAGE)
        return Refuse(fault, SKIN_RULE_TOO_SHORT, 0, shown, SKIN_MIN_IMAGE, SKIN_TOO_SHORT);
    const uint64_t size = length;

    // The rows' offset must also fit the 32-bit layout field, which only
    // matters on a 64-bit host handed more than 4 GiB.
    const uint64_t bitsOffset = (uint64_t)SKIN_FILE_HEADER_OFFSET + ReadU32(image + kOffBitsField);
    if (bitsOffset >= size || bitsOffset > 0xFFFFFFFFu)
        return Refuse(fault, SKIN_RULE_BITS_OUTSIDE, kOffBitsField, (int64_t)bitsOffset, shown, SKIN_BITS_OUTSIDE);

    if (!HasSkinMagic(image))
        return Refuse(fault, SKIN_RULE_MAGIC, 0, image[0] | (image[1] << 8) | (image[2] << 16), 0, SKIN_BAD_MAGIC);

    const uint32_t biSize = ReadU32(image + kBiSize);
    if (biSize < kInfoHeaderSize)
        return Refuse(fault, SKIN_RULE_INFO_TOO_SMALL, kBiSize, biSize, kInfoHeaderSize, SKIN_BAD_INFO_SIZE);
    if ((uint64_t)SKIN_INFO_OFFSET + biSize > size)
        return Refuse(fault, SKIN_RULE_INFO_PAST_END, kBiSize, (int64_t)SKIN_INFO_OFFSET + biSize, shown,
                      SKIN_BAD_INFO_SIZE);
    const int profileRule = CheckProfile(image, size, biSize, fault);
    if (profileRule != SKIN_RULE_NONE) {
        fault->rule = profileRule;
        return SKIN_BAD_INFO_SIZE;
    }

    const int32_t width = ReadI32(image + kBiWidth);
    const int32_t height = ReadI32(image + kBiHeight);
    const int64_t rows = height < 0 ? -(int64_t)height : (int64_t)height;
    if (width <= 0 || width > kMaxSide)
        return Refuse(fault, SKIN_RULE_WIDTH, kBiWidth, width, kMaxSide, SKIN_BAD_DIMENSIONS);
    if (rows == 0 || rows > kMaxSide)
        return Refuse(fault, SKIN_RULE_HEIGHT, kBiHeight, height, kMaxSide, SKIN_BAD_DIMENSIONS);

    const uint16_t planes = ReadU16(image + kBiPlanes);
    if (planes != 1)
        return Refuse(fault, SKIN_RULE_PLANES, kBiPlanes, planes, 1, SKIN_BAD_PLANES);

    const uint16_t bitCount = ReadU16(image + kBiBitCount);
    if (!IsKnownDepth(bitCount))
        return Refuse(fault, SKIN_RULE_DEPTH, kBiBitCount, bitCount, 0, SKIN_BAD_DEPTH);

    // GDI reads bitfield masks at offsets 40..51 of the BITMAPINFO whatever
    // biSize says: after a plain 40-byte header they follow it, in the later
    // header versions they are part of it. Either way they must be inside.
    const uint32_t compression = ReadU32(image + kBiCompression);
    uint64_t headerAndMasks = biSize;
    if (compression == kBiBitfields) {
        if (bitCount != 16 && bitCount != 32)
            return Refuse(fault, SKIN_RULE_BITFIELDS_DEPTH, kBiCompression, bitCount, 0, SKIN_BAD_COMPRESSION);
        if (headerAndMasks < kMasksEnd)
            headerAndMasks = kMasksEnd;
        if (SKIN_INFO_OFFSET + headerAndMasks > size)
            return Refuse(fault, SKIN_RULE_MASKS_PAST_END, kBiCompression,
                          (int64_t)(SKIN_INFO_OFFSET + headerAndMasks), shown, SKIN_BAD_COMPRESSION);
    } else if (compression != kBiRgb) {
        return Refuse(fault, SKIN_RULE_COMPRESSION, kBiCompression, compression, 0, SKIN_BAD_COMPRESSION);
    }

    // Pictures above 8 bits may still carry an optional table; the same
    // limits hold for it.
    const uint32_t clrUsed = ReadU32(image + kBiClrUsed);
    uint64_t colors;
    if (bitCount <= 8) {
        const uint32_t full = 1u << bitCount;
        if (clrUsed > full)
            return Refuse(fault, SKIN_RULE_COLORS_OVER_DEPTH, kBiClrUsed, clrUsed, full, SKIN_BAD_COLOR_TABLE);
        colors = clrUsed != 0 ? clrUsed : full;
    } else {
        colors = clrUsed;
    }
    if (colors > kMaxColors)
        return Refuse(fault, SKIN_RULE_TOO_MANY_COLORS, kBiClrUsed, (int64_t)colors, kMaxColors,
                      SKIN_BAD_COLOR_TABLE);
    const uint64_t infoEnd = SKIN_INFO_OFFSET + headerAndMasks + colors * 4;
    if (infoEnd > size)
        return Refuse(fault, SKIN_RULE_TABLE_PAST_END, kBiClrUsed, (int64_t)infoEnd, shown, SKIN_BAD_COLOR_TABLE);
    if (infoEnd > bitsOffset)
        return Refuse(fault, SKIN_RULE_TABLE_INTO_ROWS, kOffBitsField, (int64_t)infoEnd, (int64_t)bitsOffset,
                      SKIN_BAD_COLOR_TABLE);

    // At most 16384 * 4096 bytes, so the product fits in 32 bits as well.
    const uint64_t stride = (((uint64_t)width * bitCount + 31) / 32) * 4;
    const uint64_t bitsSize = stride * (uint64_t)rows;
    if (bitsOffset + bitsSize > size)
        return Refuse(fault, SKIN_RULE_ROWS_OUTSIDE, kBiWidth, (int64_t)(bitsOffset + bitsSize), shown,
                      SKIN_ROWS_OUTSIDE);

    layout->infoOffset = SKIN_INFO_OFFSET;
    layout->infoSize = (uint32_t)(infoEnd - SKIN_INFO_OFFSET);
    layout->bitsOffset = (uint32_t)bitsOffset;
    layout->bitsSize = (uint32_t)bitsSize;
    layout->width = width;
    layout->height = height;
    layout->bitCount = bitCount;
    layout->compression = compression;
    layout->colorCount = (uint32_t)colors;
    return SKIN_OK;
}

size_t CopySkinText(const unsigned char field[256], char *out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    const void *nul = memchr(field, 0, 256);
    size_t count = nul ? (size_t)((const unsigned char *)nul - field) : 256;
    if (count > outSize - 1)
        count = outSize - 1;
    memcpy(out, field, count);
    out[count] = '\0';
    return count;
}
