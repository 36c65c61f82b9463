// The face kept on the perch's monitor after the perch's own placement
// (built-in skin: offset 500, overlap 50, rise 35, face at columns 6..93,
// rows 12..29), and the fullscreen window's rectangle rule.
#include <gtest/gtest.h>

#include "clockwin/onscreen.h"

TEST(OnScreen, MovesTheLeastDistanceOntoTheMonitor)
{
    const Edges face = {6, 12, 94, 30}, screen = {0, 0, 1280, 1024};
    struct {
        const char *what;
        Edges perch, bounds, kept;
        int placedX, placedY, x, y; // without and with the face kept in sight
    } cases[] = {
        {"in the middle: as placed", {100, 100, 900, 400}, screen, face, 400, 65, 400, 65},
        {"maximised at -8, taskbar at the top", {-8, -8, 1928, 1048}, {0, 40, 1920, 1080}, face, 1428, -43, 1428, 28},
        {"maximised at -4", {-4, -4, 1284, 1028}, screen, face, 784, -39, 784, -12},
        {"below the bottom", {100, 1050, 900, 1300}, screen, face, 400, 1015, 400, 994},
        {"monitor left of the primary", {-1300, 100, -900, 400}, {-1280, 0, 0, 1024}, face, -1350, 65, -1286, 65},
        {"monitor above the primary", {-4, -1028, 1284, 4}, {0, -1024, 1280, 0}, face, 784, -1063, 784, -1036},
        {"face cut to 60 columns", {1000, 100, 1750, 400}, screen, {6, 12, 60, 30}, 1250, 65, 1220, 65},
        {"larger than the monitor: left, top in", {100, 10, 900, 400}, {0, 0, 50, 10}, face, 400, -25, -6, -12},
    };
    for (const auto &c : cases) {
        PerchPoint placed = ComputePerchPoint(c.perch.left, c.perch.top, c.perch.right, 500, 50, 35);
        PerchPoint kept = KeepWithin(placed, c.kept, c.bounds);
        EXPECT_TRUE(placed.x == c.placedX && placed.y == c.placedY) << c.what << ": " << placed.x << "," << placed.y;
        EXPECT_TRUE(kept.x == c.x && kept.y == c.y) << c.what << ": " << kept.x << "," << kept.y;
    }
}

TEST(OnScreen, FullscreenCoversEveryPixelOfItsMonitor)
{
    const Edges monitor = {-1280, 0, 0, 1024};
    EXPECT_TRUE(CoversWhole({-1280, 0, 0, 1024}, monitor));  // a popup sized to it
    EXPECT_TRUE(CoversWhole({-1288, -8, 8, 1032}, monitor)); // a maximised frame beyond it
    EXPECT_FALSE(CoversWhole({-1280, 0, 0, 1023}, monitor)); // one row short
    EXPECT_FALSE(CoversWhole({-1279, 0, 0, 1024}, monitor)); // one column short
}
