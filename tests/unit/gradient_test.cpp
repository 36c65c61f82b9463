// The caption gradient's fills and the painter's version gate.
#include <gtest/gtest.h>

#include <vector>

#include "dialogs/gradient.h"

namespace {

std::vector<CaptionFill> Fills(int cx, int buttonArea, uint32_t base)
{
    CaptionFill fills[GRADIENT_MAX_FILLS];
    int count = ComputeCaptionFills(cx, buttonArea, base, fills);
    EXPECT_LE(count, (int)GRADIENT_MAX_FILLS);
    return std::vector<CaptionFill>(fills, fills + count);
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return r | g << 8 | b << 16;
}

// Every column of 0..cx-1 is painted exactly once.
void ExpectEveryColumnOnce(const std::vector<CaptionFill> &fills, int cx)
{
    std::vector<int> painted(cx, 0);
    for (const CaptionFill &fill : fills)
        for (int x = fill.left; x < fill.right; x++)
            if (x >= 0 && x < cx)
                painted[x]++;
    for (int x = 0; x < cx; x++)
        ASSERT_EQ(painted[x], 1) << "column " << x;
}

} // namespace

TEST(Gradient, ButtonAreaFollowsTheButtons)
{
    struct {
        CaptionButtons buttons;
        int area;
    } cases[] = {
        {{1, 0, 0}, 20}, // close only: the program's dialogs
        {{1, 1, 0}, 38}, // close and maximise (or help)
        {{1, 0, 1}, 36}, // close and minimise
        {{1, 1, 1}, 54},
        {{0, 1, 1}, 0}, // no system-menu caption: no buttons at all
    };
    for (const auto &c : cases)
        EXPECT_EQ(CaptionButtonArea(&c.buttons, 18), c.area)
            << c.buttons.hasSystemMenuCaption << c.buttons.hasMaximiseOrHelp << c.buttons.hasMinimise;
}

TEST(Gradient, A640PixelCaptionHas68StripsOf9Pixels)
{
    std::vector<CaptionFill> fills = Fills(640, 20, Rgb(255, 200, 100));
    ASSERT_EQ(fills.size(), 70u); // behind the buttons, 68 strips, the remainder
    ExpectEveryColumnOnce(fills, 640);

    // The 20 pixels behind the close button have the plain caption colour.
    EXPECT_EQ(fills[0].left, 620);
    EXPECT_EQ(fills[0].right, 640);
    EXPECT_EQ(fills[0].colour, Rgb(255, 200, 100));
    // Strips of 9 from the right end of the gradient leftwards.
    for (size_t i = 1; i <= 68; i++) {
        EXPECT_EQ(fills[i].right, 620 - 9 * (int)(i - 1)) << i;
        EXPECT_EQ(fills[i].right - fills[i].left, 9) << i;
    }
    // Channel - f^2 * channel / 620^2, each division truncated.
    EXPECT_EQ(fills[1].colour, Rgb(255, 200, 100)) << "f = 9 darkens by less than one step";
    EXPECT_EQ(fills[34].left, 314);
    EXPECT_EQ(fills[34].colour, Rgb(193, 152, 76)) << "f = 306";
    EXPECT_EQ(fills[68].left, 8);
    EXPECT_EQ(fills[68].colour, Rgb(7, 6, 3)) << "f = 612";
    // The 8 pixels left over at the left edge.
    EXPECT_EQ(fills[69].left, 0);
    EXPECT_EQ(fills[69].right, 8);
    EXPECT_EQ(fills[69].colour, (uint32_t)GRADIENT_REMAINDER_COLOUR);
    EXPECT_EQ(fills[69].colour, Rgb(4, 0, 0));
}

TEST(Gradient, BelowOneHundredAndTwentyEightPixelsTheStripsAreOnePixelWide)
{
    std::vector<CaptionFill> fills = Fills(147, 20, Rgb(0, 0, 128)); // a gradient of 127
    ASSERT_EQ(fills.size(), 1u + 126u + 1u);
    ExpectEveryColumnOnce(fills, 147);
    for (size_t i = 1; i <= 126; i++)
        EXPECT_EQ(fills[i].right - fills[i].left, 1) << i;
    EXPECT_EQ(fills[126].left, 1);
    EXPECT_EQ(fills[126].colour, Rgb(0, 0, 3)) << "f = 126: 128 - 126 * 126 * 128 / 127^2";
    EXPECT_EQ(fills.back().left, 0);
    EXPECT_EQ(fills.back().right, 1);

    // At 128 the strips are 2 pixels wide.
    fills = Fills(148, 20, Rgb(0, 0, 128));
    EXPECT_EQ(fills[1].right - fills[1].left, 2);
    ExpectEveryColumnOnce(fills, 148);
}

TEST(Gradient, WideCaptionsDarkenWithoutOverflow)
{
    // f^2 * 255 passes 2^31 from about 2,900 pixels on.
    const int widths[] = {2920, 10000, 32767};
    for (int cx : widths) {
        std::vector<CaptionFill> fills = Fills(cx, 20, Rgb(255, 255, 255));
        ExpectEveryColumnOnce(fills, cx);
        uint32_t previous = 255;
        for (size_t i = 1; i + 1 < fills.size(); i++) {
            uint32_t red = fills[i].colour & 0xFF;
            ASSERT_LE(red, previous) << cx << " strip " << i << " brightens";
            ASSERT_EQ(fills[i].colour, Rgb(red, red, red)) << cx << " strip " << i;
            previous = red;
        }
        EXPECT_LE(previous, 8u) << cx << ": the leftmost strip is near black";
    }
    // 10,000 pixels: W = 9980, e = 155, the last strip at f = 9920.
    std::vector<CaptionFill> fills = Fills(10000, 20, Rgb(255, 255, 255));
    EXPECT_EQ(fills[fills.size() - 2].colour, Rgb(4, 4, 4));
}

TEST(Gradient, NarrowerThanItsButtonsLeavesNoGradient)
{
    std::vector<CaptionFill> fills = Fills(15, 20, Rgb(1, 2, 3));
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].left, -5);
    EXPECT_EQ(fills[0].right, 15);
    EXPECT_LE(fills[1].right, fills[1].left) << "the remainder is empty";
}

TEST(Gradient, VersionGate)
{
    struct {
        uint32_t version;
        int off;
    } cases[] = {
        {0x00000004, 0},  // 4.0: Windows 95, NT 4
        {0xC0000A04, 1},  // 4.10: Windows 98 (the build in the high word is ignored)
        {0xC0005A04, 1},  // 4.90: Windows Me
        {0x08930005, 0},  // 5.0: Windows 2000
        {0x0A280105, 0},  // 5.1: XP
        {0x1DB10106, 0},  // 6.1: Windows 7, as Wine reports
        {0x00000A03, 0},  // 3.10: the major byte is below 4
        {0x00000A05, 1},  // 5.10: bytes compared one by one
    };
    for (const auto &c : cases)
        EXPECT_EQ(CaptionPainterOffFor(c.version), c.off) << std::hex << c.version;
}
