// Builds skin file images in memory for tests: a valid skin from a few
// numbers, and small helpers to damage it afterwards. Header-only and free of
// windows.h, so native unit tests and the Win32 loader tests share it.
#ifndef TKP_TESTS_SKINBUILDER_H
#define TKP_TESTS_SKINBUILDER_H

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace skintest {

typedef std::vector<unsigned char> Bytes;

// File offsets of the fields a test may want to read or poke.
enum : size_t {
    kMagic = 0,
    kHeaderWord = 3,
    kAuthor = 9,
    kDataName = 265,
    kHomePage = 521,
    kMailAddress = 777,
    kFaceLeft = 1033,
    kFaceTop = 1037,
    kDockOverlap = 1041,
    kDockRise = 1045,
    kExtraValue = 1049,
    kFileHeader = 1077,
    kOffBits = 1087,
    kInfo = 1091,
    kBiSize = kInfo + 0,
    kBiWidth = kInfo + 4,
    kBiHeight = kInfo + 8,
    kBiPlanes = kInfo + 12,
    kBiBitCount = kInfo + 14,
    kBiCompression = kInfo + 16,
    kBiSizeImage = kInfo + 20,
    kBiClrUsed = kInfo + 32,
    kBiClrImportant = kInfo + 36,
    kMasks = kInfo + 40,    // bitfield masks, inside or after the header
};

enum : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5 };

struct SkinRecipe {
    int32_t width = 8;
    int32_t height = 4;            // negative: rows stored top-down
    uint16_t bitCount = 8;
    uint32_t compression = kBiRgb; // kBiBitfields gives 5-6-5 or 8-8-8 masks
    uint32_t infoSize = 40;        // 40, or 52 and up for the later headers
    uint32_t colorCount = 0;       // biClrUsed; 0 = full table up to 8 bits, none above
    uint32_t gapBeforeBits = 0;    // spare bytes between the BITMAPINFO and the rows
    uint32_t trailing = 0;         // spare bytes after the last row
    int32_t faceLeft = 5, faceTop = 11, dockOverlap = 50, dockRise = 35;
    std::string author, dataName, homePage, mailAddress;  // 256 bytes: no NUL
    // Palette for 8 bits and below (0x00RRGGBB); empty = a grey ramp.
    std::vector<uint32_t> palette;
    // Pixel at (x, y), y = 0 the top row: a palette index up to 8 bits, a
    // 0x00RRGGBB colour above. Empty = DefaultPixel below.
    std::function<uint32_t(int x, int y)> pixel;
};

inline void Poke16(Bytes &image, size_t offset, uint16_t value)
{
    if (offset + 2 > image.size())
        throw std::out_of_range("Poke16 past the end");
    image[offset] = (unsigned char)value;
    image[offset + 1] = (unsigned char)(value >> 8);
}

inline void Poke32(Bytes &image, size_t offset, uint32_t value)
{
    if (offset + 4 > image.size())
        throw std::out_of_range("Poke32 past the end");
    for (int i = 0; i < 4; ++i)
        image[offset + i] = (unsigned char)(value >> (8 * i));
}

inline uint32_t Peek32(const Bytes &image, size_t offset)
{
    if (offset + 4 > image.size())
        throw std::out_of_range("Peek32 past the end");
    return (uint32_t)image[offset] | ((uint32_t)image[offset + 1] << 8) |
           ((uint32_t)image[offset + 2] << 16) | ((uint32_t)image[offset + 3] << 24);
}

inline Bytes Truncated(Bytes image, size_t length)
{
    if (length < image.size())
        image.resize(length);
    return image;
}

inline uint32_t BuilderRowStride(int32_t width, uint16_t bitCount)
{
    return (uint32_t)((((uint64_t)width * bitCount + 31) / 32) * 4);
}

// Bytes of the BITMAPINFO the builder writes: header, masks after a 40-byte
// header, colour table.
inline uint32_t BuilderInfoBytes(const SkinRecipe &recipe)
{
    uint32_t bytes = recipe.infoSize;
    if (recipe.compression == kBiBitfields && recipe.infoSize == 40)
        bytes += 12;
    uint32_t colors = recipe.colorCount;
    if (colors == 0 && recipe.bitCount <= 8)
        colors = 1u << recipe.bitCount;
    return bytes + colors * 4;
}

// Key colour (index 0, black) at the top-left corner, and elsewhere colours
// that stay distinct from it even at 5 bits per channel.
inline uint32_t DefaultPixel(int x, int y, uint32_t maxIndex)
{
    if (x == 0 && y == 0)
        return 0;
    if (maxIndex <= 0xFF)
        return 1 + (uint32_t)(x + y) % maxIndex;
    return 0xFFFFFF - (uint32_t)((x + y) % 64) * 0x020202;
}

inline Bytes BuildSkin(const SkinRecipe &recipe)
{
    const uint32_t rows = (uint32_t)(recipe.height < 0 ? -(int64_t)recipe.height : recipe.height);
    const uint32_t stride = BuilderRowStride(recipe.width, recipe.bitCount);
    const uint32_t infoBytes = BuilderInfoBytes(recipe);
    const uint32_t offBits = 14 + infoBytes + recipe.gapBeforeBits;
    Bytes image(kFileHeader + offBits + (size_t)stride * rows + recipe.trailing, 0);

    image[0] = 'Q';
    image[1] = 'V';
    image[2] = 'E';
    Poke16(image, kHeaderWord, 1);
    const std::string *texts[4] = {&recipe.author, &recipe.dataName, &recipe.homePage, &recipe.mailAddress};
    const size_t textOffsets[4] = {kAuthor, kDataName, kHomePage, kMailAddress};
    for (int i = 0; i < 4; ++i)
        for (size_t j = 0; j < texts[i]->size() && j < 256; ++j)
            image[textOffsets[i] + j] = (unsigned char)(*texts[i])[j];
    Poke32(image, kFaceLeft, (uint32_t)recipe.faceLeft);
    Poke32(image, kFaceTop, (uint32_t)recipe.faceTop);
    Poke32(image, kDockOverlap, (uint32_t)recipe.dockOverlap);
    Poke32(image, kDockRise, (uint32_t)recipe.dockRise);
    Poke32(image, kExtraValue, 2);

    image[kFileHeader] = 'B';
    image[kFileHeader + 1] = 'M';
    Poke32(image, kFileHeader + 2, (uint32_t)(image.size() - kFileHeader));
    Poke32(image, kOffBits, offBits);

    Poke32(image, kBiSize, recipe.infoSize);
    Poke32(image, kBiWidth, (uint32_t)recipe.width);
    Poke32(image, kBiHeight, (uint32_t)recipe.height);
    Poke16(image, kBiPlanes, 1);
    Poke16(image, kBiBitCount, recipe.bitCount);
    Poke32(image, kBiCompression, recipe.compression);
    Poke32(image, kBiSizeImage, stride * rows);
    Poke32(image, kBiClrUsed, recipe.colorCount);

    const bool is565 = recipe.bitCount == 16 && recipe.compression == kBiBitfields;
    size_t next = kInfo + recipe.infoSize;
    if (recipe.compression == kBiBitfields) {
        // Masks sit at offset 40 whether or not a longer header holds them.
        Poke32(image, kMasks, recipe.bitCount == 16 ? 0xF800 : 0xFF0000);
        Poke32(image, kMasks + 4, recipe.bitCount == 16 ? 0x07E0 : 0x00FF00);
        Poke32(image, kMasks + 8, recipe.bitCount == 16 ? 0x001F : 0x0000FF);
        if (recipe.infoSize == 40)
            next += 12;
    }
    const size_t tableEnd = kInfo + infoBytes;
    for (uint32_t i = 0; next < tableEnd; ++i, next += 4) {
        uint32_t rgb = i < recipe.palette.size() ? recipe.palette[i] : (i * 0x010101u) & 0xFFFFFF;
        image[next] = (unsigned char)rgb;             // RGBQUAD: blue, green, red, 0
        image[next + 1] = (unsigned char)(rgb >> 8);
        image[next + 2] = (unsigned char)(rgb >> 16);
    }

    const size_t bits = kFileHeader + offBits;
    const uint32_t maxIndex = recipe.bitCount <= 8 ? (1u << recipe.bitCount) - 1 : 0xFFFFFF;
    for (uint32_t y = 0; y < rows; ++y) {
        unsigned char *row = &image[bits + (size_t)stride * (recipe.height < 0 ? y : rows - 1 - y)];
        for (int32_t x = 0; x < recipe.width; ++x) {
            uint32_t v = recipe.pixel ? recipe.pixel(x, (int)y) & maxIndex
                                    : DefaultPixel(x, (int)y, maxIndex);
            uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
            switch (recipe.bitCount) {
            case 1:
            case 4:
            case 8: {
                size_t bit = (size_t)x * recipe.bitCount;
                unsigned shift = 8 - recipe.bitCount - (unsigned)(bit % 8);
                row[bit / 8] |= (unsigned char)(v << shift);
                break;
            }
            case 16: {
                uint32_t w = is565 ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
                                   : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
                row[x * 2] = (unsigned char)w;
                row[x * 2 + 1] = (unsigned char)(w >> 8);
                break;
            }
            case 24:
            case 32: {
                size_t at = (size_t)x * (recipe.bitCount / 8);
                row[at] = (unsigned char)b;
                row[at + 1] = (unsigned char)g;
                row[at + 2] = (unsigned char)r;
                break;
            }
            }
        }
    }
    return image;
}

} // namespace skintest

#endif
