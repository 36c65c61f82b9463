// Checking a skin file image before GDI sees it. Every offset and size is
// worked out in 64 bits and compared with the image length before use, so a
// hostile number can neither wrap around nor point outside the file.
#include "skinformat.h"

#include <string.h>

#include "lebytes.h"

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
    uint32_t csType = ReadLe32(info + kV5CSType);
    if (csType == kProfileLinked) {
        fault->offset = SKIN_INFO_OFFSET + kV5CSType;
        fault->value = csType;
        return SKIN_RULE_PROFILE_LINKED;
    }
    if (csType != kProfileEmbedded)
        return SKIN_RULE_NONE;
    uint64_t end = (uint64_t)SKIN_INFO_OFFSET + ReadLe32(info + kV5ProfileData) +
                   ReadLe32(info + kV5ProfileSize);
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

namespace {

// What the phases of the check learn about an image, each from the ones
// before it. Every figure is 64-bit and already compared with the length.
struct ImageFacts {
    uint64_t size;        // the image length
    int64_t shown;        // the same, as reported in a fault
    uint64_t bitsOffset;  // 1077 + bfOffBits
    uint32_t biSize;
    int32_t width, height;
    int64_t rows;
    uint16_t bitCount;
    uint32_t compression;
    uint64_t headerAndMasks; // biSize, or up to the end of the bitfield masks
    uint64_t colors;
    uint64_t infoEnd;        // end of the BITMAPINFO with its colour table
    uint64_t bitsSize;
};

// The rows' offset and the magic.
int CheckPlacement(const unsigned char *image, ImageFacts *facts, SkinFault *fault)
{
    // The rows' offset must also fit the 32-bit layout field, which only
    // matters on a 64-bit host handed more than 4 GiB.
    facts->bitsOffset = (uint64_t)SKIN_FILE_HEADER_OFFSET + ReadLe32(image + kOffBitsField);
    if (facts->bitsOffset >= facts->size || facts->bitsOffset > 0xFFFFFFFFu)
        return Refuse(fault, SKIN_RULE_BITS_OUTSIDE, kOffBitsField, (int64_t)facts->bitsOffset, facts->shown,
                      SKIN_BITS_OUTSIDE);
    if (!HasSkinMagic(image))
        return Refuse(fault, SKIN_RULE_MAGIC, 0, image[0] | (image[1] << 8) | (image[2] << 16), 0, SKIN_BAD_MAGIC);
    return SKIN_OK;
}

// The BITMAPINFOHEADER's size and what a later header version points at.
int CheckInfoHeader(const unsigned char *image, ImageFacts *facts, SkinFault *fault)
{
    facts->biSize = ReadLe32(image + kBiSize);
    if (facts->biSize < kInfoHeaderSize)
        return Refuse(fault, SKIN_RULE_INFO_TOO_SMALL, kBiSize, facts->biSize, kInfoHeaderSize, SKIN_BAD_INFO_SIZE);
    if ((uint64_t)SKIN_INFO_OFFSET + facts->biSize > facts->size)
        return Refuse(fault, SKIN_RULE_INFO_PAST_END, kBiSize, (int64_t)SKIN_INFO_OFFSET + facts->biSize,
                      facts->shown, SKIN_BAD_INFO_SIZE);
    const int profileRule = CheckProfile(image, facts->size, facts->biSize, fault);
    if (profileRule != SKIN_RULE_NONE) {
        fault->rule = profileRule;
        return SKIN_BAD_INFO_SIZE;
    }
    return SKIN_OK;
}

// Width, height, planes and depth.
int CheckDimensions(const unsigned char *image, ImageFacts *facts, SkinFault *fault)
{
    facts->width = ReadLeI32(image + kBiWidth);
    facts->height = ReadLeI32(image + kBiHeight);
    facts->rows = facts->height < 0 ? -(int64_t)facts->height : (int64_t)facts->height;
    if (facts->width <= 0 || facts->width > kMaxSide)
        return Refuse(fault, SKIN_RULE_WIDTH, kBiWidth, facts->width, kMaxSide, SKIN_BAD_DIMENSIONS);
    if (facts->rows == 0 || facts->rows > kMaxSide)
        return Refuse(fault, SKIN_RULE_HEIGHT, kBiHeight, facts->height, kMaxSide, SKIN_BAD_DIMENSIONS);

    const uint16_t planes = ReadLe16(image + kBiPlanes);
    if (planes != 1)
        return Refuse(fault, SKIN_RULE_PLANES, kBiPlanes, planes, 1, SKIN_BAD_PLANES);
    facts->bitCount = ReadLe16(image + kBiBitCount);
    if (!IsKnownDepth(facts->bitCount))
        return Refuse(fault, SKIN_RULE_DEPTH, kBiBitCount, facts->bitCount, 0, SKIN_BAD_DEPTH);
    return SKIN_OK;
}

// The compression, and the bitfield masks that come with BI_BITFIELDS.
int CheckCompression(const unsigned char *image, ImageFacts *facts, SkinFault *fault)
{
    // GDI reads bitfield masks at offsets 40..51 of the BITMAPINFO whatever
    // biSize says: after a plain 40-byte header they follow it, in the later
    // header versions they are part of it. Either way they must be inside.
    facts->compression = ReadLe32(image + kBiCompression);
    facts->headerAndMasks = facts->biSize;
    if (facts->compression == kBiBitfields) {
        if (facts->bitCount != 16 && facts->bitCount != 32)
            return Refuse(fault, SKIN_RULE_BITFIELDS_DEPTH, kBiCompression, facts->bitCount, 0,
                          SKIN_BAD_COMPRESSION);
        if (facts->headerAndMasks < kMasksEnd)
            facts->headerAndMasks = kMasksEnd;
        if (SKIN_INFO_OFFSET + facts->headerAndMasks > facts->size)
            return Refuse(fault, SKIN_RULE_MASKS_PAST_END, kBiCompression,
                          (int64_t)(SKIN_INFO_OFFSET + facts->headerAndMasks), facts->shown, SKIN_BAD_COMPRESSION);
    } else if (facts->compression != kBiRgb) {
        return Refuse(fault, SKIN_RULE_COMPRESSION, kBiCompression, facts->compression, 0, SKIN_BAD_COMPRESSION);
    }
    return SKIN_OK;
}

// The colour table: its length, inside the image and before the rows.
int CheckColourTable(const unsigned char *image, ImageFacts *facts, SkinFault *fault)
{
    // Pictures above 8 bits may still carry an optional table; the same
    // limits hold for it.
    const uint32_t clrUsed = ReadLe32(image + kBiClrUsed);
    if (facts->bitCount <= 8) {
        const uint32_t full = 1u << facts->bitCount;
        if (clrUsed > full)
            return Refuse(fault, SKIN_RULE_COLORS_OVER_DEPTH, kBiClrUsed, clrUsed, full, SKIN_BAD_COLOR_TABLE);
        facts->colors = clrUsed != 0 ? clrUsed : full;
    } else {
        facts->colors = clrUsed;
    }
    if (facts->colors > kMaxColors)
        return Refuse(fault, SKIN_RULE_TOO_MANY_COLORS, kBiClrUsed, (int64_t)facts->colors, kMaxColors,
                      SKIN_BAD_COLOR_TABLE);
    facts->infoEnd = SKIN_INFO_OFFSET + facts->headerAndMasks + facts->colors * 4;
    if (facts->infoEnd > facts->size)
        return Refuse(fault, SKIN_RULE_TABLE_PAST_END, kBiClrUsed, (int64_t)facts->infoEnd, facts->shown,
                      SKIN_BAD_COLOR_TABLE);
    if (facts->infoEnd > facts->bitsOffset)
        return Refuse(fault, SKIN_RULE_TABLE_INTO_ROWS, kOffBitsField, (int64_t)facts->infoEnd,
                      (int64_t)facts->bitsOffset, SKIN_BAD_COLOR_TABLE);
    return SKIN_OK;
}

// The pixel rows, whole inside the image.
int CheckRows(const unsigned char *, ImageFacts *facts, SkinFault *fault)
{
    // At most 16384 * 4096 bytes, so the product fits in 32 bits as well.
    const uint64_t stride = (((uint64_t)facts->width * facts->bitCount + 31) / 32) * 4;
    facts->bitsSize = stride * (uint64_t)facts->rows;
    if (facts->bitsOffset + facts->bitsSize > facts->size)
        return Refuse(fault, SKIN_RULE_ROWS_OUTSIDE, kBiWidth, (int64_t)(facts->bitsOffset + facts->bitsSize),
                      facts->shown, SKIN_ROWS_OUTSIDE);
    return SKIN_OK;
}

// In the order the image is checked: each phase reads only fields that the
// ones before it have shown to be inside the image.
int (*const CheckPhases[])(const unsigned char *, ImageFacts *, SkinFault *) = {
    CheckPlacement, CheckInfoHeader, CheckDimensions, CheckCompression, CheckColourTable, CheckRows};

} // namespace

int ExplainSkinImage(const unsigned char *image, size_t length, SkinLayout *layout, SkinFault *fault)
{
    fault->rule = SKIN_RULE_NONE;
    fault->offset = 0;
    fault->value = 0;
    fault->limit = 0;
    // Lengths past 2^63 cannot be held by a process; the cast keeps the
    // reported figures signed.
    ImageFacts facts = {};
    facts.size = length;
    facts.shown = (int64_t)length;
    if (length < SKIN_MIN_IMAGE)
        return Refuse(fault, SKIN_RULE_TOO_SHORT, 0, facts.shown, SKIN_MIN_IMAGE, SKIN_TOO_SHORT);
    for (auto phase : CheckPhases) {
        const int verdict = phase(image, &facts, fault);
        if (verdict != SKIN_OK)
            return verdict;
    }

    layout->infoOffset = SKIN_INFO_OFFSET;
    layout->infoSize = (uint32_t)(facts.infoEnd - SKIN_INFO_OFFSET);
    layout->bitsOffset = (uint32_t)facts.bitsOffset;
    layout->bitsSize = (uint32_t)facts.bitsSize;
    layout->width = facts.width;
    layout->height = facts.height;
    layout->bitCount = facts.bitCount;
    layout->compression = facts.compression;
    layout->colorCount = (uint32_t)facts.colors;
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
