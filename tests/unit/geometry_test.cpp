// Placement arithmetic: the rule for ordinary values, and no overflow for
// values from a hand-edited settings file or a stranger's skin.
#include <gtest/gtest.h>
#include <limits.h>

#include "base/placement.h"
#include "clockwin/geometry.h"

struct PerchCase {
    int left, top, right, position, overlap, rise;
    int x, y;
};

class PerchPointTable : public testing::TestWithParam<PerchCase> {};

TEST_P(PerchPointTable, Places)
{
    const PerchCase &c = GetParam();
    PerchPoint point = ComputePerchPoint(c.left, c.top, c.right, c.position, c.overlap, c.rise);
    EXPECT_EQ(point.x, c.x);
    EXPECT_EQ(point.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    OrdinaryValues, PerchPointTable,
    testing::Values(
        // Built-in skin on a wide window: the offset is taken as it is.
        PerchCase{100, 100, 900, 500, 50, 35, 400, 65},
        // A narrow window: the clock reaches 50 pixels out beyond the left edge.
        PerchCase{100, 100, 300, 500, 50, 35, 50, 65},
        // Offset beyond the right end: the left edge 50 pixels left of the right edge.
        PerchCase{100, 100, 900, -40, 50, 35, 850, 65},
        // Exactly on both bounds.
        PerchCase{100, 100, 900, 850, 50, 35, 50, 65}, PerchCase{100, 100, 900, 50, 50, 35, 850, 65},
        // A window narrower than the overlap: the lower bound decides.
        PerchCase{100, 0, 120, 500, 50, 35, 50, -35},
        // A window at the top of the screen puts the clock above it.
        PerchCase{0, 0, 640, 100, 50, 35, 540, -35},
        // A negative overlap and rise from a skin.
        PerchCase{100, 100, 900, 500, -10, -5, 400, 105}));

INSTANTIATE_TEST_SUITE_P(
    ExtremeValues, PerchPointTable,
    testing::Values(
        // right - position overflows: still clamped to the perch, exactly.
        PerchCase{100, 100, 900, INT_MIN, 50, 35, 850, 65}, PerchCase{100, 100, 900, INT_MAX, 50, 35, 50, 65},
        // The skin's numbers push the result out of range: saturated, not wrapped.
        PerchCase{-100, INT_MIN + 5, 900, 500, INT_MAX, 35, 900 - INT_MAX, INT_MIN},
        PerchCase{100, INT_MAX - 5, 900, 500, INT_MIN, -35, INT_MAX, INT_MAX},
        PerchCase{INT_MIN, 0, INT_MAX, 0, 0, INT_MAX, INT_MAX, -INT_MAX}));

TEST(Geometry, OffsetFromPerchSaturates)
{
    EXPECT_EQ(OffsetFromPerch(900, 280), 620);
    EXPECT_EQ(OffsetFromPerch(100, 300), -200);
    EXPECT_EQ(OffsetFromPerch(INT_MAX, INT_MIN), INT_MAX);
    EXPECT_EQ(OffsetFromPerch(INT_MIN, INT_MAX), INT_MIN);
}

TEST(Geometry, CenteredStartTruncatesTowardZero)
{
    EXPECT_EQ(CenteredStart(0, 1024, 0, 100), 462);
    EXPECT_EQ(CenteredStart(0, 1024, 0, 101), 461); // 923 / 2
    EXPECT_EQ(CenteredStart(100, 200, 0, 103), 99); // -3 / 2 is -1, not -2
    EXPECT_EQ(CenteredStart(0, 100, 0, 105), -2);
    EXPECT_EQ(CenteredStart(INT_MIN, INT_MAX, 0, 0), -1);
}
