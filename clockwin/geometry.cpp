#include "geometry.h"

PerchPoint ComputePerchPoint(int perchLeft, int perchTop, int perchRight, int position,
                             int dockOverlap, int dockRise)
{
    // The point dockOverlap pixels right of the clock's left edge must lie
    // on the perch, from its left to its right edge; the left bound first.
    int64_t x = (int64_t)perchRight - position;
    if (x + dockOverlap < perchLeft)
        x = (int64_t)perchLeft - dockOverlap;
    if (x + dockOverlap > perchRight)
        x = (int64_t)perchRight - dockOverlap;
    PerchPoint point;
    point.x = SaturateToInt(x);
    point.y = SaturateToInt((int64_t)perchTop - dockRise);
    return point;
}

int OffsetFromPerch(int perchRight, int clockLeft)
{
    return SaturateToInt((int64_t)perchRight - clockLeft);
}
