// The window's outline from the key colour, built from one read of the
// pixels, against the plain per-pixel method and against known shapes.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/appstate.h"
#include "region_reference.h"
#include "skin/region.h"
#include "testkit.h"

namespace {

class Region : public testing::Test {
protected:
    HWND window = MakeTestWindow(0, 0, 200, 100, WS_POPUP);
    ~Region() override { DestroyWindow(window); }

    // Builds both ways; expects the same pixels and returns the fast one.
    HRGN BothWays(HBITMAP picture)
    {
        HRGN fast = BuildKeyColourRegion(window, picture, 0, 0);
        HRGN reference = BuildKeyColourRegionPerPixel(window, picture, 0, 0);
        EXPECT_TRUE(fast != NULL);
        EXPECT_TRUE(SameRegion(fast, reference));
        DeleteObject(reference);
        return fast;
    }
};

HRGN RowsRegion(const std::vector<RECT> &rows)
{
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (const RECT &r : rows) {
        HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(result, result, part, RGN_OR);
        DeleteObject(part);
    }
    return result;
}

const unsigned K = 0x808000; // the key colour of the built-in skin, as BGRX
const unsigned W = 0xFFFFFF, B = 0x000000, R = 0xFF0000;

} // namespace

TEST_F(Region, BuiltInPictureHasItsCutCornerOutline)
{
    HBITMAP back = LoadBitmapA(GetModuleHandleA(NULL), "BACK");
    ASSERT_TRUE(back != NULL);
    HRGN outline = BothWays(back);
    std::vector<RECT> rows = {{3, 1, 98, 2}, {2, 2, 99, 3}, {1, 3, 100, 35}, {2, 35, 99, 36}, {3, 36, 98, 37}};
    HRGN expected = RowsRegion(rows);
    EXPECT_TRUE(SameRegion(outline, expected));
    RECT box;
    GetRgnBox(outline, &box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 37);
    DeleteObject(expected);
    DeleteObject(outline);
    DeleteObject(back);
}

TEST_F(Region, HolesIslandsAndTheRightEdgeColumn)
{
    // Row 1: key, non-key, key, non-key (two runs, the second at the edge).
    // Row 2: a hole in the middle. Row 3: an island apart from the rest.
    const unsigned pixels[] = {
        K, K, K, K, K, //
        K, W, K, K, B, //
        W, B, K, W, W, //
        K, K, K, K, K, //
        K, K, R, K, K, //
    };
    HBITMAP picture = MakePicture(window, 5, 5, pixels);
    HRGN outline = BothWays(picture);
    HRGN expected = RowsRegion({{1, 1, 2, 2}, {4, 1, 5, 2}, {0, 2, 2, 3}, {3, 2, 5, 3}, {2, 4, 3, 5}});
    EXPECT_TRUE(SameRegion(outline, expected));
    DeleteObject(expected);
    DeleteObject(outline);
    DeleteObject(picture);
}

TEST_F(Region, SinglePixelPictureIsEmptyAndNullInputsGiveNoRegion)
{
    const unsigned single[] = {W};
    HBITMAP picture = MakePicture(window, 1, 1, single);
    HRGN outline = BothWays(picture);
    RECT box;
    EXPECT_EQ(GetRgnBox(outline, &box), NULLREGION) << "its only pixel is the key colour";
    DeleteObject(outline);
    EXPECT_TRUE(BuildKeyColourRegion(NULL, picture, 0, 0) == NULL);
    EXPECT_TRUE(BuildKeyColourRegion(window, NULL, 0, 0) == NULL);
    DeleteObject(picture);
}

TEST_F(Region, RandomPicturesMatchThePerPixelMethod)
{
    std::mt19937 random(20261207);
    const unsigned palette[] = {K, W, B, R};
    for (int round = 0; round < 60; round++) {
        int width = 1 + (int)(random() % 37), height = 1 + (int)(random() % 23);
        std::vector<unsigned> pixels((size_t)width * height);
        for (unsigned &pixel : pixels)
            pixel = palette[random() % (round % 2 ? 2 : 4)];
        HBITMAP picture = MakePicture(window, width, height, pixels.data());
        HRGN outline = BothWays(picture);
        DeleteObject(outline);
        DeleteObject(picture);
        if (HasFailure())
            FAIL() << "round " << round << ": " << width << " x " << height;
    }
}

namespace {

HBITMAP Checkerboard(HWND window, int width, int height)
{
    std::vector<unsigned> pixels((size_t)width * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            pixels[(size_t)y * width + x] = (x + y) % 2 ? W : K;
    return MakePicture(window, width, height, pixels.data());
}

} // namespace

TEST_F(Region, CheckerboardOfThirtyThousandRunsAcrossManyMerges)
{
    // A checkerboard of 200 x 300 has 30,000 one-pixel runs, the most an
    // outline may have, in 300 row regions merged over nine levels.
    int width = 200, height = 300;
    HBITMAP picture = Checkerboard(window, width, height);
    int tooComplex = -1;
    HRGN outline = BuildKeyColourRegion(window, picture, 0, 0, &tooComplex);
    ASSERT_TRUE(outline != NULL);
    EXPECT_EQ(tooComplex, 0);
    // Every white pixel in, every key pixel out.
    EXPECT_TRUE(PtInRegion(outline, 1, 0));
    EXPECT_FALSE(PtInRegion(outline, 0, 0));
    EXPECT_TRUE(PtInRegion(outline, 199, 298));
    EXPECT_FALSE(PtInRegion(outline, 199, 299));
    int inside = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            inside += PtInRegion(outline, x, y) ? 1 : 0;
    EXPECT_EQ(inside, width * height / 2);
    DeleteObject(outline);
    DeleteObject(picture);

    // One column more: 30,150 runs. No region, and the caller is told why.
    picture = Checkerboard(window, width + 1, height);
    EXPECT_TRUE(BuildKeyColourRegion(window, picture, 0, 0, &tooComplex) == NULL);
    EXPECT_EQ(tooComplex, 1);
    DeleteObject(picture);
}
