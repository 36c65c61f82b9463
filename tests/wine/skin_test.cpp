// The skin loader on real files: a good skin is put in force whole, a bad
// one is refused with the program's message and changes nothing.
#include <windows.h>

#include <gtest/gtest.h>
#include <limits.h>

#include "base/appstate.h"
#include "region_reference.h"
#include "skin/skin.h"
#include "skin/skinload.h"
#include "skinbuilder.h"
#include "testkit.h"

using namespace skintest;

namespace {

const char InvalidFormat[] = "問題|不正なファイル形式です。";

class Skin : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();
    TempFolder folder;

    std::string save(const char *name, const Bytes &bytes)
    {
        folder.write(name, bytes);
        return folder.file(name);
    }
    SIZE clockSize()
    {
        RECT rect = WindowRect(clock);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
};

SkinRecipe WideSkin()
{
    SkinRecipe recipe;
    recipe.width = 120;
    recipe.height = 40;
    recipe.faceLeft = 9;
    recipe.faceTop = 12;
    recipe.dockOverlap = 30;
    recipe.dockRise = 20;
    recipe.author = "Someone";
    recipe.dataName = "Wide";
    // Key colour (index 0) around a rectangle, with one hole.
    recipe.pixel = [](int x, int y) -> uint32_t {
        if (x < 2 || y < 2 || x >= 118 || y >= 38 || (x == 60 && y == 20))
            return 0;
        return 1 + (uint32_t)(x % 7);
    };
    return recipe;
}

// Key (index 0) and non-key pixels in turn: width / 2 runs a row, or so.
SkinRecipe Checkerboard(int width, int height)
{
    SkinRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.pixel = [](int x, int y) -> uint32_t { return (uint32_t)(x + y) % 2; };
    return recipe;
}

} // namespace

TEST_F(Skin, GoodFileIsPutInForceAndFitsTheWindow)
{
    MoveWindow(clock, 200, 150, 101, 38, FALSE);
    std::string path = save("wide.qve", BuildSkin(WideSkin()));
    MessageBoxWatcher boxes;
    ASSERT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 1);
    EXPECT_TRUE(boxes.seen().empty());

    EXPECT_EQ(clockSize().cx, 120);
    EXPECT_EQ(clockSize().cy, 40);
    EXPECT_EQ(WindowRect(clock).left, 200) << "the window keeps its place";
    EXPECT_EQ(WindowRect(clock).top, 150);
    EXPECT_EQ(SkinHeader.faceLeft, 9);
    EXPECT_EQ(SkinHeader.faceTop, 12);
    EXPECT_EQ(SkinHeader.dockOverlap, 30);
    EXPECT_EQ(SkinHeader.dockRise, 20);
    EXPECT_STREQ((const char *)SkinHeader.author, "Someone");
    EXPECT_EQ(AppState.CurrentDataFile[0], '\0') << "recording the path is the caller's business";

    // The outline: the rectangle inside the key-coloured border, with its hole.
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(clock, outline), ERROR);
    HRGN expected = CreateRectRgn(2, 2, 118, 38);
    HRGN hole = CreateRectRgn(60, 20, 61, 21);
    CombineRgn(expected, expected, hole, RGN_DIFF);
    EXPECT_TRUE(SameRegion(outline, expected));
    DeleteObject(hole);
    DeleteObject(expected);
    DeleteObject(outline);
}

TEST_F(Skin, EveryAcceptedDepthAndHeaderShowsItsPixels)
{
    // Colours whose channels are 0 or 255 are held exactly at every depth,
    // so the picture in force must show each pixel as the file has it.
    const uint32_t pure[8] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};
    const int order[8] = {5, 2, 7, 0, 3, 6, 1, 4}; // a palette that no shifted read gets right
    struct {
        uint16_t bits;
        uint32_t compression;
        uint32_t infoSize; // 40, 108 (V4) or 124 (V5)
        int32_t height;    // negative: rows stored top-down
    } kinds[] = {{1, kBiRgb, 40, 7},          {4, kBiRgb, 40, -7},        {8, kBiRgb, 40, 7},
                 {16, kBiRgb, 40, -7},        {16, kBiBitfields, 40, 7},  {24, kBiRgb, 40, -7},
                 {32, kBiRgb, 40, 7},         {32, kBiBitfields, 40, -7}, {8, kBiRgb, 108, -7},
                 {16, kBiBitfields, 108, 7},  {24, kBiRgb, 124, 7},       {32, kBiBitfields, 124, -7},
                 {4, kBiRgb, 124, 7}};
    MessageBoxWatcher boxes; // a refused picture fails the test instead of waiting for a click
    for (const auto &kind : kinds) {
        const int colours = kind.bits == 1 ? 2 : 8;
        auto place = [colours](int x, int y) { return (x * 3 + y * 5) % colours; };
        SkinRecipe recipe;
        recipe.width = 13; // rows that need padding at every depth below 32
        recipe.height = kind.height;
        recipe.bitCount = kind.bits;
        recipe.compression = kind.compression;
        recipe.infoSize = kind.infoSize;
        std::vector<uint32_t> colourAt(8);
        for (int i = 0; i < 8; i++)
            colourAt[i] = pure[order[i]];
        if (kind.bits <= 8) {
            recipe.palette = colourAt;
            recipe.pixel = [place](int x, int y) { return (uint32_t)place(x, y); };
        } else {
            recipe.pixel = [place, colourAt](int x, int y) { return colourAt[place(x, y)]; };
        }
        std::string what = std::to_string(kind.bits) + " bits" + (kind.compression == kBiBitfields ? " with masks" : "") +
                           ", header of " + std::to_string(kind.infoSize) + " bytes";
        std::string path = save("depth.qve", BuildSkin(recipe));
        ASSERT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 1) << what;
        ASSERT_EQ(clockSize().cx, 13) << what;
        ASSERT_EQ(clockSize().cy, 7) << what;

        std::vector<uint32_t> shown(13 * 7);
        BITMAPINFO info = TopDown32(13, 7);
        HDC screen = GetDC(NULL);
        ASSERT_EQ(GetDIBits(screen, AppState.SkinBitmap, 0, 7, shown.data(), &info, DIB_RGB_COLORS), 7) << what;
        ReleaseDC(NULL, screen);
        int wrong = 0;
        for (int y = 0; y < 7; y++)
            for (int x = 0; x < 13; x++)
                wrong += (shown[(size_t)y * 13 + x] & 0xFFFFFF) != colourAt[place(x, y)];
        EXPECT_EQ(wrong, 0) << what << ": top-left pixel 0x" << std::hex << (shown[0] & 0xFFFFFF);
    }
}

TEST_F(Skin, LooseHeaderFieldsDoNotMatter)
{
    Bytes image = BuildSkin(WideSkin());
    image[3] = 0xEE; // anything after "QVE"
    Poke32(image, 5, 0xFFFFFFFF);
    Poke32(image, kExtraValue, 0x80000000);
    image[kFileHeader] = 'X'; // no "BM"
    image[kFileHeader + 1] = 'Y';
    Poke32(image, kFileHeader + 2, 7); // a wrong bfSize
    for (size_t i = 1053; i < 1077; i++)
        image[i] = 0xA5;
    std::string path = save("loose.qve", image);
    EXPECT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 1);
    EXPECT_EQ(clockSize().cx, 120);
}

TEST_F(Skin, MalformedFilesAreRefusedAndTheSkinInForceStays)
{
    Bytes good = BuildSkin(WideSkin());
    struct Damage {
        const char *what;
        Bytes image;
    };
    std::vector<Damage> table;
    auto poked = [&](size_t offset, uint32_t value) {
        Bytes image = good;
        Poke32(image, offset, value);
        return image;
    };
    auto poked16 = [&](size_t offset, uint16_t value) {
        Bytes image = good;
        Poke16(image, offset, value);
        return image;
    };
    Bytes lowerCase = good;
    lowerCase[0] = 'q';
    lowerCase[1] = 'v';
    lowerCase[2] = 'e';
    uint32_t offBits = Peek32(good, kOffBits);
    table.push_back({"empty file", Bytes()});
    table.push_back({"cut inside the skin header", Truncated(good, 1000)});
    table.push_back({"cut one byte short of the picture header", Truncated(good, 1130)});
    table.push_back({"exactly 1131 bytes, rows at the end", poked(kOffBits, 1131 - 1077)});
    table.push_back({"cut inside the colour table", Truncated(good, kInfo + 40 + 100)});
    table.push_back({"cut one byte short of the last row", Truncated(good, good.size() - 1)});
    table.push_back({"rows offset past the end", poked(kOffBits, (uint32_t)good.size())});
    table.push_back({"rows offset 0xFFFFFFFF", poked(kOffBits, 0xFFFFFFFF)});
    table.push_back({"rows inside the colour table", poked(kOffBits, offBits - 8)});
    table.push_back({"header size 39", poked(kBiSize, 39)});
    table.push_back({"header size 0xFFFFFFFF", poked(kBiSize, 0xFFFFFFFF)});
    table.push_back({"width 0", poked(kBiWidth, 0)});
    table.push_back({"width -1", poked(kBiWidth, 0xFFFFFFFF)});
    table.push_back({"width 4097", poked(kBiWidth, 4097)});
    table.push_back({"height INT_MIN", poked(kBiHeight, 0x80000000)});
    table.push_back({"height 0x7FFFFFFF", poked(kBiHeight, 0x7FFFFFFF)});
    table.push_back({"two planes", poked16(kBiPlanes, 2)});
    table.push_back({"7 bits per pixel", poked16(kBiBitCount, 7)});
    table.push_back({"RLE8", poked(kBiCompression, kBiRle8)});
    table.push_back({"JPEG", poked(kBiCompression, kBiJpeg)});
    table.push_back({"257 colours", poked(kBiClrUsed, 257)});
    table.push_back({"lower-case magic", lowerCase});
    table.push_back({"an outline of 32,768 rectangles", BuildSkin(Checkerboard(256, 256))});
    table.push_back({"an outline of 30,150 rectangles", BuildSkin(Checkerboard(201, 300))});

    HBITMAP inForce = AppState.SkinBitmap;
    SkinHeaderRecord headerBefore = SkinHeader;
    SIZE sizeBefore = clockSize();
    MessageBoxWatcher boxes;
    for (const Damage &damage : table) {
        std::string path = save("bad.qve", damage.image);
        boxes.clear();
        EXPECT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 0) << damage.what;
        ASSERT_TRUE(PumpUntil([&] { return !boxes.seen().empty(); })) << damage.what << ": no message";
        EXPECT_EQ(boxes.seen().front(), InvalidFormat) << damage.what;
        EXPECT_TRUE(boxes.details().front().owner == NULL) << damage.what << ": the format box has no owner";
        EXPECT_EQ(boxes.details().front().icon, (UINT)MB_ICONERROR) << damage.what;
        EXPECT_EQ(AppState.SkinBitmap, inForce) << damage.what;
        EXPECT_EQ(memcmp(&SkinHeader, &headerBefore, sizeof SkinHeader), 0) << damage.what;
        EXPECT_EQ(clockSize().cx, sizeBefore.cx) << damage.what;
    }
    BITMAP still;
    EXPECT_EQ(GetObjectA(inForce, sizeof still, &still), (int)sizeof still) << "the picture in force is alive";
    EXPECT_EQ(still.bmWidth, 101);
}

TEST_F(Skin, OutlineOfThirtyThousandRectanglesLoads)
{
    std::string path = save("busy.qve", BuildSkin(Checkerboard(200, 300)));
    MessageBoxWatcher boxes;
    ASSERT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 1);
    EXPECT_TRUE(boxes.seen().empty());
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(clock, outline), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(outline, 1, 0));
    EXPECT_FALSE(PtInRegion(outline, 0, 0));
    DeleteObject(outline);
}

TEST_F(Skin, UnreadableFilesFailWithoutAMessage)
{
    MessageBoxWatcher boxes;
    EXPECT_EQ(LoadSkinFile(clock, ToT(folder.file("missing.qve")).c_str()), 0);
    EXPECT_EQ(LoadSkinFile(clock, TEXT("DEFAULTDATA")), 0);

    std::string path = save("held.qve", BuildSkin(WideSkin()));
    HANDLE holder = HoldFileInOtherProcess(path);
    ASSERT_TRUE(holder != NULL);
    EXPECT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 0) << "another program holds it open";
    ReleaseFile(holder);
    PumpMessages(100);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 1) << "and loads once it is let go";
}

TEST_F(Skin, BuiltInSkinValues)
{
    EXPECT_EQ(memcmp(SkinHeader.magic, "QVE", 3), 0);
    EXPECT_EQ(SkinHeader.headerWord, 1);
    EXPECT_EQ(SkinHeader.faceLeft, 5);
    EXPECT_EQ(SkinHeader.faceTop, 11);
    EXPECT_EQ(SkinHeader.dockOverlap, 50);
    EXPECT_EQ(SkinHeader.dockRise, 35);
    EXPECT_EQ(SkinHeader.extraValue, 2);
    EXPECT_STREQ((const char *)SkinHeader.dataName, "\xC3\xDE\xCC\xAB\xD9\xC4\xC3\xDE\xB0\xC0"); // ﾃﾞﾌｫﾙﾄﾃﾞｰﾀ
    EXPECT_NE(SkinHeader.author[0], 0);
    EXPECT_EQ(clockSize().cx, 101);
    EXPECT_EQ(clockSize().cy, 38);
}
