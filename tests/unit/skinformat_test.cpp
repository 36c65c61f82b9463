#include "skinformat.h"
#include "skinbuilder.h"

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace skintest;

namespace {

int Check(const Bytes &image, SkinLayout *layout = nullptr)
{
    SkinLayout scratch;
    return CheckSkinImage(image.data(), image.size(), layout ? layout : &scratch);
}

SkinRecipe Recipe(uint16_t bitCount, int32_t width, int32_t height, uint32_t compression = kBiRgb)
{
    SkinRecipe recipe;
    recipe.bitCount = bitCount;
    recipe.width = width;
    recipe.height = height;
    recipe.compression = compression;
    return recipe;
}

SkinRecipe WithInfoSize(SkinRecipe recipe, uint32_t infoSize)
{
    recipe.infoSize = infoSize;
    return recipe;
}

SkinRecipe WithColors(SkinRecipe recipe, uint32_t colorCount)
{
    recipe.colorCount = colorCount;
    return recipe;
}

SkinRecipe WithGap(SkinRecipe recipe, uint32_t gap)
{
    recipe.gapBeforeBits = gap;
    return recipe;
}

std::function<void(Bytes &)> Set32(size_t offset, uint32_t value)
{
    return [=](Bytes &b) { Poke32(b, offset, value); };
}

std::function<void(Bytes &)> Set16(size_t offset, uint16_t value)
{
    return [=](Bytes &b) { Poke16(b, offset, value); };
}

// The rows start `offBits` after the picture file header and the file ends
// `length` bytes in, so a region can be cut short without the rows' offset
// deciding the verdict first.
std::function<void(Bytes &)> CutAt(size_t length, uint32_t offBits)
{
    return [=](Bytes &b) {
        Poke32(b, kOffBits, offBits);
        b.resize(length);
    };
}

struct Accepted {
    const char *name;
    SkinRecipe recipe;
    uint32_t infoSize, colorCount, bitsSize;
};

TEST(SkinImage, AcceptsEveryDepthAndHeaderVersion)
{
    const Accepted cases[] = {
        {"1 bpp, padded row", Recipe(1, 33, 3), 48, 2, 24},
        {"4 bpp", Recipe(4, 9, 2), 104, 16, 16},
        {"8 bpp top-down", Recipe(8, 5, -3), 1064, 256, 24},
        {"8 bpp short table", WithColors(Recipe(8, 4, 2), 2), 48, 2, 8},
        {"16 bpp 5-5-5", Recipe(16, 3, 2), 40, 0, 16},
        {"16 bpp bitfields", Recipe(16, 3, 2, kBiBitfields), 52, 0, 16},
        {"24 bpp", Recipe(24, 5, 2), 40, 0, 32},
        {"24 bpp with optional table", WithColors(Recipe(24, 5, 2), 4), 56, 4, 32},
        {"32 bpp", Recipe(32, 3, 1), 40, 0, 12},
        {"32 bpp bitfields top-down", Recipe(32, 3, -2, kBiBitfields), 52, 0, 24},
        {"32 bpp bitfields in a V5 header", WithInfoSize(Recipe(32, 2, 2, kBiBitfields), 124), 124, 0, 16},
        {"8 bpp V4 header", WithInfoSize(Recipe(8, 4, 1), 108), 108 + 1024, 256, 4},
        {"4 bpp with a gap before the rows", WithGap(Recipe(4, 8, 2), 10), 104, 16, 8},
        {"largest sides", Recipe(1, 4096, -4096), 48, 2, 512 * 4096},
    };
    for (const Accepted &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = BuildSkin(c.recipe);
        SkinLayout layout;
        ASSERT_EQ(SKIN_OK, Check(image, &layout));
        EXPECT_EQ(1091u, layout.infoOffset);
        EXPECT_EQ(c.infoSize, layout.infoSize);
        EXPECT_EQ(1091u + c.infoSize + c.recipe.gapBeforeBits, layout.bitsOffset);
        EXPECT_EQ(c.bitsSize, layout.bitsSize);
        EXPECT_EQ(image.size(), (size_t)layout.bitsOffset + layout.bitsSize);
        EXPECT_EQ(c.recipe.width, layout.width);
        EXPECT_EQ(c.recipe.height, layout.height);
        EXPECT_EQ(c.recipe.bitCount, layout.bitCount);
        EXPECT_EQ(c.recipe.compression, layout.compression);
        EXPECT_EQ(c.colorCount, layout.colorCount);

        // Bytes after the last row do no harm.
        image.resize(image.size() + 3, 0xEE);
        EXPECT_EQ(SKIN_OK, Check(image));
    }
}

// Cutting a valid skin anywhere must never leave something that passes, and
// the sanitizers see each prefix as its own allocation.
TEST(SkinImage, RefusesEveryPrefixOfAValidSkin)
{
    const SkinRecipe recipes[] = {Recipe(8, 3, 2), Recipe(16, 2, 2, kBiBitfields),
                              WithInfoSize(Recipe(32, 2, 1, kBiBitfields), 124), Recipe(1, 9, -2)};
    for (const SkinRecipe &recipe : recipes) {
        const Bytes image = BuildSkin(recipe);
        ASSERT_EQ(SKIN_OK, Check(image));
        for (size_t length = 0; length < image.size(); ++length) {
            Bytes prefix(image.begin(), image.begin() + length);
            ASSERT_NE(SKIN_OK, Check(prefix)) << "bit count " << recipe.bitCount << ", length " << length;
        }
    }
}

struct Refused {
    const char *name;
    SkinRecipe recipe;
    std::function<void(Bytes &)> damage;
    int verdict;
};

void ExpectVerdicts(const std::vector<Refused> &cases)
{
    for (const Refused &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = BuildSkin(c.recipe);
        c.damage(image);
        SkinLayout layout;
        memset(&layout, 0xAB, sizeof layout);
        SkinLayout untouched = layout;
        EXPECT_EQ(c.verdict, Check(image, &layout));
        // The explaining check gives the same verdict and names a rule
        // exactly when it refuses.
        SkinLayout scratch;
        SkinFault fault;
        EXPECT_EQ(c.verdict, ExplainSkinImage(image.data(), image.size(), &scratch, &fault));
        EXPECT_EQ(c.verdict == SKIN_OK, fault.rule == SKIN_RULE_NONE);
        if (c.verdict != SKIN_OK) {
            EXPECT_EQ(0, memcmp(&layout, &untouched, sizeof layout)) << "layout written on failure";
        }
    }
}

const SkinRecipe kBase = Recipe(8, 8, 4);   // 2187 bytes, rows from 2155

TEST(SkinImage, LengthRowOffsetAndMagic)
{
    const size_t baseLength = BuildSkin(kBase).size();
    ExpectVerdicts({
        {"empty", kBase, [](Bytes &b) { b.clear(); }, SKIN_TOO_SHORT},
        {"1130 bytes", kBase, [](Bytes &b) { b.resize(1130); }, SKIN_TOO_SHORT},
        {"too short beats bad magic", kBase, [](Bytes &b) { b.resize(100); b[0] = 'X'; }, SKIN_TOO_SHORT},
        {"1131 bytes, rows starting at the end", Recipe(24, 1, 1), [](Bytes &b) { b.resize(1131); },
         SKIN_BITS_OUTSIDE},
        {"rows starting at the end", kBase, Set32(kOffBits, (uint32_t)baseLength - 1077), SKIN_BITS_OUTSIDE},
        {"rows starting past the end", kBase, Set32(kOffBits, 100000), SKIN_BITS_OUTSIDE},
        {"bfOffBits 0xFFFFFFFF", kBase, Set32(kOffBits, 0xFFFFFFFFu), SKIN_BITS_OUTSIDE},
        {"bfOffBits wrapping to 0", kBase, Set32(kOffBits, 0u - 1077u), SKIN_BITS_OUTSIDE},
        {"bfOffBits wrapping into the header", kBase, Set32(kOffBits, 0u - 11u), SKIN_BITS_OUTSIDE},
        {"rows offset beats bad magic", kBase, [](Bytes &b) { b[0] = 'q'; Poke32(b, kOffBits, 0xFFFFFFFFu); },
         SKIN_BITS_OUTSIDE},
        {"last byte the only row byte", kBase, Set32(kOffBits, (uint32_t)baseLength - 1078), SKIN_ROWS_OUTSIDE},
        {"lower-case qve", kBase, [](Bytes &b) { b[0] = 'q'; b[1] = 'v'; b[2] = 'e'; }, SKIN_BAD_MAGIC},
        {"QVe", kBase, [](Bytes &b) { b[2] = 'e'; }, SKIN_BAD_MAGIC},
        {"QV and NUL", kBase, [](Bytes &b) { b[2] = 0; }, SKIN_BAD_MAGIC},
        {"bad magic beats a bad picture", kBase, [](Bytes &b) { b[1] = 'W'; Poke32(b, kBiSize, 0); },
         SKIN_BAD_MAGIC},
        {"fourth byte and spare fields anything", kBase,
         [](Bytes &b) {
             memset(&b[3], 0xA5, 6);
             memset(&b[kExtraValue], 0xA5, 1077 - kExtraValue);
         },
         SKIN_OK},
        {"no BM and junk file size", kBase,
         [](Bytes &b) { b[kFileHeader] = 'X'; b[kFileHeader + 1] = 0; Poke32(b, kFileHeader + 2, 0xFFFFFFFFu); },
         SKIN_OK},
    });
}

TEST(SkinImage, InfoHeaderSizeDimensionsPlanesAndDepth)
{
    const uint32_t intMin = 0x80000000u;
    ExpectVerdicts({
        {"biSize 0", kBase, Set32(kBiSize, 0), SKIN_BAD_INFO_SIZE},
        {"core header", kBase, Set32(kBiSize, 12), SKIN_BAD_INFO_SIZE},
        {"biSize 39", kBase, Set32(kBiSize, 39), SKIN_BAD_INFO_SIZE},
        {"biSize 0xFFFFFFFF", kBase, Set32(kBiSize, 0xFFFFFFFFu), SKIN_BAD_INFO_SIZE},
        {"header end wrapping past 4 GiB", kBase, Set32(kBiSize, 0u - 100u), SKIN_BAD_INFO_SIZE},
        {"biSize one past the end", kBase, Set32(kBiSize, 2187 - 1091 + 1), SKIN_BAD_INFO_SIZE},
        {"cut inside a V5 header", WithInfoSize(Recipe(24, 2, 2), 124), CutAt(1091 + 100, 14 + 50),
         SKIN_BAD_INFO_SIZE},
        {"width 0", kBase, Set32(kBiWidth, 0), SKIN_BAD_DIMENSIONS},
        {"width -1", kBase, Set32(kBiWidth, 0xFFFFFFFFu), SKIN_BAD_DIMENSIONS},
        {"width INT32_MIN", kBase, Set32(kBiWidth, intMin), SKIN_BAD_DIMENSIONS},
        {"width 4097", kBase, Set32(kBiWidth, 4097), SKIN_BAD_DIMENSIONS},
        {"width 0x7FFFFFFF", kBase, Set32(kBiWidth, 0x7FFFFFFF), SKIN_BAD_DIMENSIONS},
        {"height 0", kBase, Set32(kBiHeight, 0), SKIN_BAD_DIMENSIONS},
        {"height INT32_MIN", kBase, Set32(kBiHeight, intMin), SKIN_BAD_DIMENSIONS},
        {"height 4097", kBase, Set32(kBiHeight, 4097), SKIN_BAD_DIMENSIONS},
        {"height -4097", kBase, Set32(kBiHeight, (uint32_t)-4097), SKIN_BAD_DIMENSIONS},
        {"height 0x7FFFFFFF", kBase, Set32(kBiHeight, 0x7FFFFFFF), SKIN_BAD_DIMENSIONS},
        {"4096 x -4096 at 32 bpp in a small file", Recipe(32, 2, 2),
         [](Bytes &b) { Poke32(b, kBiWidth, 4096); Poke32(b, kBiHeight, (uint32_t)-4096); }, SKIN_ROWS_OUTSIDE},
        {"planes 0", kBase, Set16(kBiPlanes, 0), SKIN_BAD_PLANES},
        {"planes 2", kBase, Set16(kBiPlanes, 2), SKIN_BAD_PLANES},
        {"depth 0", kBase, Set16(kBiBitCount, 0), SKIN_BAD_DEPTH},
        {"depth 2", kBase, Set16(kBiBitCount, 2), SKIN_BAD_DEPTH},
        {"depth 15", kBase, Set16(kBiBitCount, 15), SKIN_BAD_DEPTH},
        {"depth 48", kBase, Set16(kBiBitCount, 48), SKIN_BAD_DEPTH},
        {"depth 0xFFFF", kBase, Set16(kBiBitCount, 0xFFFF), SKIN_BAD_DEPTH},
    });
}

TEST(SkinImage, CompressionAndMasks)
{
    const SkinRecipe bitfields16 = Recipe(16, 2, 2, kBiBitfields);
    ExpectVerdicts({
        {"RLE8", kBase, Set32(kBiCompression, kBiRle8), SKIN_BAD_COMPRESSION},
        {"RLE4", Recipe(4, 8, 2), Set32(kBiCompression, kBiRle4), SKIN_BAD_COMPRESSION},
        {"JPEG", Recipe(24, 2, 2), Set32(kBiCompression, kBiJpeg), SKIN_BAD_COMPRESSION},
        {"PNG", Recipe(24, 2, 2), Set32(kBiCompression, kBiPng), SKIN_BAD_COMPRESSION},
        {"alpha bitfields", Recipe(32, 2, 2), Set32(kBiCompression, 6), SKIN_BAD_COMPRESSION},
        {"compression 0xFFFFFFFF", kBase, Set32(kBiCompression, 0xFFFFFFFFu), SKIN_BAD_COMPRESSION},
        {"bitfields at 24 bpp", Recipe(24, 2, 2), Set32(kBiCompression, kBiBitfields), SKIN_BAD_COMPRESSION},
        {"bitfields at 8 bpp", kBase, Set32(kBiCompression, kBiBitfields), SKIN_BAD_COMPRESSION},
        {"cut inside the masks", bitfields16, CutAt(1131 + 8, 14 + 40 + 4), SKIN_BAD_COMPRESSION},
        {"masks fit, rows cut short", bitfields16, CutAt(1131 + 12 + 1, 14 + 40 + 12), SKIN_ROWS_OUTSIDE},
        // Masks sit at offsets 40..51 however long the header claims to be.
        {"44-byte header, masks past the end", bitfields16,
         [](Bytes &b) { Poke32(b, kBiSize, 44); CutAt(1091 + 48, 14)(b); }, SKIN_BAD_COMPRESSION},
        {"masks run into the rows", bitfields16, Set32(kOffBits, 14 + 40 + 8), SKIN_BAD_COLOR_TABLE},
    });
}

TEST(SkinImage, ColourTable)
{
    ExpectVerdicts({
        {"257 entries at 8 bpp", kBase, Set32(kBiClrUsed, 257), SKIN_BAD_COLOR_TABLE},
        {"17 entries at 4 bpp", Recipe(4, 8, 2), Set32(kBiClrUsed, 17), SKIN_BAD_COLOR_TABLE},
        {"3 entries at 1 bpp", Recipe(1, 8, 2), Set32(kBiClrUsed, 3), SKIN_BAD_COLOR_TABLE},
        {"16 entries at 4 bpp", Recipe(4, 8, 2), Set32(kBiClrUsed, 16), SKIN_OK},
        {"biClrUsed 0xFFFFFFFF", kBase, Set32(kBiClrUsed, 0xFFFFFFFFu), SKIN_BAD_COLOR_TABLE},
        {"257 entries at 24 bpp, all in the file", WithColors(Recipe(24, 2, 2), 257), [](Bytes &) {},
         SKIN_BAD_COLOR_TABLE},
        {"256 entries at 24 bpp", WithColors(Recipe(24, 2, 2), 256), [](Bytes &) {}, SKIN_OK},
        {"table bytes wrapping to 0", Recipe(32, 2, 2), Set32(kBiClrUsed, 0x40000000u), SKIN_BAD_COLOR_TABLE},
        {"table running into the rows", kBase, Set32(kOffBits, 14 + 40 + 1020), SKIN_BAD_COLOR_TABLE},
        {"rows right after the header", kBase, Set32(kOffBits, 14 + 40), SKIN_BAD_COLOR_TABLE},
        {"24 bpp table running into the rows", Recipe(24, 2, 2), Set32(kBiClrUsed, 1), SKIN_BAD_COLOR_TABLE},
        {"16 bpp table after masks into the rows", Recipe(16, 2, 2, kBiBitfields), Set32(kBiClrUsed, 1),
         SKIN_BAD_COLOR_TABLE},
        {"cut inside the table", kBase, CutAt(1091 + 40 + 100, 14 + 40), SKIN_BAD_COLOR_TABLE},
        {"one byte short of the last row", kBase, [](Bytes &b) { b.pop_back(); }, SKIN_ROWS_OUTSIDE},
        {"4 bpp, one byte short of the last row", Recipe(4, 9, -3), [](Bytes &b) { b.pop_back(); },
         SKIN_ROWS_OUTSIDE},
    });
}

// A V5 header can send GDI to a colour profile: a linked one is a file name
// and an embedded one an offset from the header. Neither may lead outside.
TEST(SkinImage, ColourProfilesStayInsideTheFile)
{
    const SkinRecipe v5 = WithInfoSize(Recipe(24, 2, 2), 124);
    const size_t v5Length = BuildSkin(v5).size();
    auto profile = [](uint32_t csType, uint32_t data, uint32_t size) {
        return [=](Bytes &b) {
            Poke32(b, kInfo + 56, csType);
            Poke32(b, kInfo + 112, data);
            Poke32(b, kInfo + 116, size);
        };
    };
    const uint32_t linked = 0x4C494E4B, embedded = 0x4D424544, sRgb = 0x73524742;
    const uint32_t room = (uint32_t)(v5Length - 1091);
    ExpectVerdicts({
        {"linked profile", v5, profile(linked, 124, 8), SKIN_BAD_INFO_SIZE},
        {"embedded profile inside", v5, profile(embedded, 124, room - 124), SKIN_OK},
        {"embedded profile one byte past the end", v5, profile(embedded, 124, room - 123), SKIN_BAD_INFO_SIZE},
        {"embedded profile wrapping around", v5, profile(embedded, 0xFFFFFFF0u, 0x20), SKIN_BAD_INFO_SIZE},
        {"sRGB ignores the profile fields", v5, profile(sRgb, 0xFFFFFFF0u, 0x20), SKIN_OK},
        {"a V4 header has no profile", WithInfoSize(Recipe(24, 2, 2), 108), Set32(kInfo + 56, linked), SKIN_OK},
    });
}

TEST(SkinImage, HasSkinMagicLooksAtTheFirstThreeBytesOnly)
{
    const unsigned char good[] = {'Q', 'V', 'E', 0xFF};
    const unsigned char lower[] = {'q', 'v', 'e', 0};
    const unsigned char shifted[] = {' ', 'Q', 'V', 'E'};
    EXPECT_EQ(1, HasSkinMagic(good));
    EXPECT_EQ(0, HasSkinMagic(lower));
    EXPECT_EQ(0, HasSkinMagic(shifted));
}

// The test pictures must be real BMP rows, or the Win32 loader tests that
// share the builder would check pixels against nonsense.
TEST(SkinBuilder, WritesRowsAsBmpLaysThemOut)
{
    SkinRecipe recipe = Recipe(4, 3, 2);
    recipe.pixel = [](int x, int y) { return (uint32_t)(y * 3 + x + 1); };
    Bytes image = BuildSkin(recipe);
    size_t bits = 1077 + Peek32(image, kOffBits);
    // Bottom-up: the file's first row is the picture's last (indices 4 5 6).
    const unsigned char bottomUp[] = {0x45, 0x60, 0, 0, 0x12, 0x30, 0, 0};
    EXPECT_EQ(0, memcmp(bottomUp, &image[bits], sizeof bottomUp));

    recipe = Recipe(24, 2, -2);
    recipe.pixel = [](int x, int y) { return x == 1 && y == 0 ? 0x112233u : 0u; };
    image = BuildSkin(recipe);
    bits = 1077 + Peek32(image, kOffBits);
    const unsigned char topDown[] = {0, 0, 0, 0x33, 0x22, 0x11, 0, 0};
    EXPECT_EQ(0, memcmp(topDown, &image[bits], sizeof topDown));
}

struct TextCase {
    const char *name;
    std::string field;   // padded with NULs to 256 bytes
    size_t outSize;
    std::string expected;
};

TEST(SkinText, CopiesUpToTheNulOrTheWholeField)
{
    const std::string full(256, 'x');
    const TextCase cases[] = {
        {"empty field", "", 300, ""},
        {"NUL in the middle, rest ignored", std::string("abc\0xyz", 7), 300, "abc"},
        {"255 bytes and the NUL", std::string(255, 'y'), 300, std::string(255, 'y')},
        {"no NUL, room for all", full, 257, full},
        {"no NUL, one short of room", full, 256, std::string(255, 'x')},
        {"no NUL, room for the NUL only", full, 1, ""},
        {"cut to a small buffer", "abcdef", 4, "abc"},
        {"Shift-JIS bytes pass unchanged", "\xC3\xDE\xCC\xAB\xD9\xC4", 300, "\xC3\xDE\xCC\xAB\xD9\xC4"},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.name);
        // Exactly 256 bytes on the heap, so a read past the field is caught.
        std::vector<unsigned char> field(256, 0);
        memcpy(field.data(), c.field.data(), c.field.size());
        std::vector<char> out(c.outSize + 8, '#');
        size_t copied = CopySkinText(field.data(), out.data(), c.outSize);
        EXPECT_EQ(c.expected.size(), copied);
        EXPECT_EQ(c.expected, std::string(out.data()));
        for (size_t i = copied + 1; i < out.size(); ++i)
            ASSERT_EQ('#', out[i]) << "written past the copy at " << i;
    }

    std::vector<unsigned char> field(256, 'z');
    char untouched = '#';
    EXPECT_EQ(0u, CopySkinText(field.data(), &untouched, 0));
    EXPECT_EQ('#', untouched);
}

} // namespace
