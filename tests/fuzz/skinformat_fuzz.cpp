// Fuzzes the skin file check. Whenever it accepts an image, every range the
// loader will hand to GDI is checked again here and read byte by byte, so
// AddressSanitizer reports any layout that reaches outside the input.
#include "skinformat.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

volatile unsigned gSink;

uint32_t Le32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

void Require(bool condition)
{
    if (!condition)
        abort();
}

unsigned Touch(const uint8_t *p, size_t n)
{
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += p[i];
    return sum;
}

void CheckAcceptedLayout(const uint8_t *data, size_t size, const SkinLayout &l)
{
    Require(HasSkinMagic(data) == 1);
    Require(l.infoOffset == SKIN_INFO_OFFSET);
    Require(l.bitsOffset == (uint64_t)SKIN_FILE_HEADER_OFFSET + Le32(data + 1087));
    Require(l.infoSize >= 40 && l.infoSize >= Le32(data + SKIN_INFO_OFFSET));
    Require((uint64_t)l.infoOffset + l.infoSize <= l.bitsOffset);
    Require(l.bitsOffset < size);
    Require((uint64_t)l.bitsOffset + l.bitsSize <= size);

    Require(l.width > 0 && l.width <= 4096);
    Require(l.height != 0 && l.height >= -4096 && l.height <= 4096);
    Require(l.bitCount == 1 || l.bitCount == 4 || l.bitCount == 8 || l.bitCount == 16 ||
            l.bitCount == 24 || l.bitCount == 32);
    Require(l.compression == 0 || (l.compression == 3 && (l.bitCount == 16 || l.bitCount == 32)));
    Require(l.colorCount <= 256 && (l.bitCount > 8 || l.colorCount <= (1u << l.bitCount)));
    const uint64_t headerAndMasks = l.infoSize - (uint64_t)l.colorCount * 4;
    Require(headerAndMasks >= 40 && (l.compression != 3 || headerAndMasks >= 52));

    const uint64_t stride = (((uint64_t)l.width * l.bitCount + 31) / 32) * 4;
    const uint64_t rows = l.height < 0 ? -(int64_t)l.height : l.height;
    Require(l.bitsSize == stride * rows);

    Require(l.width == (int32_t)Le32(data + SKIN_INFO_OFFSET + 4));
    Require(l.height == (int32_t)Le32(data + SKIN_INFO_OFFSET + 8));
    Require(l.compression == Le32(data + SKIN_INFO_OFFSET + 16));

    // What the loader copies (the skin header) and what CreateDIBitmap will
    // read: the whole BITMAPINFO (header, masks, table), then each row.
    unsigned sum = Touch(data, SKIN_HEADER_SIZE);
    sum += Touch(data + l.infoOffset, l.infoSize);
    for (uint64_t row = 0; row < rows; ++row)
        sum += Touch(data + l.bitsOffset + row * stride, (size_t)stride);

    // A linked V5 colour profile names a file: never accepted. An embedded
    // one must lie inside the image like everything else.
    const uint32_t biSize = Le32(data + SKIN_INFO_OFFSET);
    Require(biSize < 124 || Le32(data + SKIN_INFO_OFFSET + 56) != 0x4C494E4B);
    if (biSize >= 124 && Le32(data + SKIN_INFO_OFFSET + 56) == 0x4D424544) {
        uint64_t at = (uint64_t)SKIN_INFO_OFFSET + Le32(data + SKIN_INFO_OFFSET + 112);
        uint64_t bytes = Le32(data + SKIN_INFO_OFFSET + 116);
        Require(at + bytes <= size);
        sum += Touch(data + at, (size_t)bytes);
    }
    gSink = gSink + sum;
}

// The loader keeps the 1077-byte header and the property dialog shows its
// four texts, whatever bytes they hold.
void CopyTexts(const uint8_t *data)
{
    static const size_t kTexts[4] = {9, 265, 521, 777};
    static const size_t kOutSizes[4] = {257, 256, 16, 1};
    for (int i = 0; i < 4; ++i) {
        char *out = (char *)malloc(kOutSizes[i]);
        size_t copied = CopySkinText(data + kTexts[i], out, kOutSizes[i]);
        Require(copied < kOutSizes[i] && copied <= 256 && out[copied] == '\0');
        Require(memchr(out, 0, copied) == nullptr && memcmp(out, data + kTexts[i], copied) == 0);
        gSink = gSink + (unsigned)copied;
        free(out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size >= SKIN_HEADER_SIZE)
        CopyTexts(data);

    SkinLayout layout;
    memset(&layout, 0xCD, sizeof layout);
    const SkinLayout before = layout;
    int verdict = CheckSkinImage(data, size, &layout);
    Require(verdict >= SKIN_OK && verdict <= SKIN_ROWS_OUTSIDE);
    if (verdict == SKIN_OK)
        CheckAcceptedLayout(data, size, layout);
    else
        Require(memcmp(&layout, &before, sizeof layout) == 0);
    return 0;
}
