#include "geometry.h"

int SaturateToInt(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return (int)value;
}

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

int CenteredStart(int outerStart, int outerEnd, int innerStart, int innerEnd)
{
    int64_t spare = ((int64_t)outerEnd - outerStart) - ((int64_t)innerEnd - innerStart);
    return SaturateToInt(outerStart + spare / 2); // C++ division truncates toward zero
}
