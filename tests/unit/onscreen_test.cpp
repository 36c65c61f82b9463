// Keeping the face on the perch's monitor, from the perch's placement on,
// and the fullscreen window's rectangle rule.
#include <gtest/gtest.h>
#include <limits.h>

#include "clockwin/onscreen.h"

// The built-in skin: 101 x 38, face at 5,11 (columns 6..93, rows 12..29),
// overlap 50, rise 35, offset 500.
static const Edges BuiltInFace = {6, 12, 94, 30};

struct OnScreenCase {
    const char *what;
    Edges perch, bounds, kept;
    PerchPoint placed, kept_on_screen; // without and with the face kept in sight
};

class OnScreenTable : public testing::TestWithParam<OnScreenCase> {};

TEST_P(OnScreenTable, MovesTheLeastDistance)
{
    const OnScreenCase &c = GetParam();
    PerchPoint placed = ComputePerchPoint(c.perch.left, c.perch.top, c.perch.right, 500, 50, 35);
    EXPECT_EQ(placed.x, c.placed.x) << c.what;
    EXPECT_EQ(placed.y, c.placed.y) << c.what;
    PerchPoint moved = KeepWithin(placed, c.kept, c.bounds);
    EXPECT_EQ(moved.x, c.kept_on_screen.x) << c.what;
    EXPECT_EQ(moved.y, c.kept_on_screen.y) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Perches, OnScreenTable,
    testing::Values(
        OnScreenCase{"in the middle: the placement stays", {100, 100, 900, 400}, {0, 0, 1280, 1024},
                     BuiltInFace, {400, 65}, {400, 65}},
        OnScreenCase{"maximised on Windows 10/11 (-8), work area above a taskbar", {-8, -8, 1928, 1048},
                     {0, 0, 1920, 1040}, BuiltInFace, {1428, -43}, {1428, -12}},
        OnScreenCase{"maximised under Wine (-4)", {-4, -4, 1284, 1028}, {0, 0, 1280, 1024}, BuiltInFace,
                     {784, -39}, {784, -12}},
        OnScreenCase{"near the top: the face was cut", {100, 10, 900, 400}, {0, 0, 1280, 1024}, BuiltInFace,
                     {400, -25}, {400, -12}},
        OnScreenCase{"below the bottom", {100, 1050, 900, 1300}, {0, 0, 1280, 1024}, BuiltInFace,
                     {400, 1015}, {400, 994}},
        OnScreenCase{"beyond the right edge", {900, 100, 1700, 400}, {0, 0, 1280, 1024}, BuiltInFace,
                     {1200, 65}, {1186, 65}},
        OnScreenCase{"on a monitor left of the primary, clamped to its left end", {-1300, 100, -900, 400},
                     {-1280, 0, 0, 1024}, BuiltInFace, {-1350, 65}, {-1286, 65}},
        OnScreenCase{"maximised on a monitor above the primary", {-4, -1028, 1284, 4}, {0, -1024, 1280, 0},
                     BuiltInFace, {784, -1063}, {784, -1036}},
        OnScreenCase{"face cut by a 60 pixels wide picture", {1000, 100, 1750, 400}, {0, 0, 1280, 1024},
                     {6, 12, 60, 30}, {1250, 65}, {1220, 65}},
        OnScreenCase{"no face in the picture: the whole clock", {100, 10, 900, 400}, {0, 0, 1280, 1024},
                     {0, 0, 101, 38}, {400, -25}, {400, 0}},
        OnScreenCase{"a face larger than the monitor keeps its left and top edges", {100, 10, 900, 400},
                     {0, 0, 50, 10}, BuiltInFace, {400, -25}, {-6, -12}}));

TEST(OnScreen, ExtremeValuesSaturate)
{
    PerchPoint far = {INT_MIN, INT_MAX};
    Edges kept = {INT_MAX, INT_MIN, INT_MAX, INT_MAX};
    Edges bounds = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    PerchPoint moved = KeepWithin(far, kept, bounds);
    EXPECT_EQ(moved.x, INT_MIN);
    EXPECT_EQ(moved.y, 0);
}

TEST(OnScreen, FullscreenIsAWindowCoveringItsWholeMonitor)
{
    const Edges monitor = {-1280, 0, 0, 1024};
    struct {
        Edges window;
        int covers;
    } cases[] = {
        {{-1280, 0, 0, 1024}, 1},   // a borderless popup sized to the monitor
        {{-1288, -8, 8, 1032}, 1},  // a maximised window's frame beyond it
        {{-1280, 0, 0, 1023}, 0},   // one row short
        {{-1279, 0, 0, 1024}, 0},   // one column short
        {{0, 0, 1280, 1024}, 0},    // the neighbouring monitor
    };
    for (const auto &c : cases)
        EXPECT_EQ(CoversWhole(c.window, monitor), c.covers) << c.window.left << "," << c.window.bottom;
}
