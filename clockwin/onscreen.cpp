#include "onscreen.h"

// Start of the span [start + low, start + high) shifted the least distance
// into [min, max); the low edge wins when the span is the longer one.
static int ShiftInto(int start, int low, int high, int min, int max)
{
    int64_t at = start;
    if (at + high > max)
        at = (int64_t)max - high;
    if (at + low < min)
        at = (int64_t)min - low;
    return SaturateToInt(at);
}

PerchPoint KeepWithin(PerchPoint at, const Edges &kept, const Edges &bounds)
{
    PerchPoint moved;
    moved.x = ShiftInto(at.x, kept.left, kept.right, bounds.left, bounds.right);
    moved.y = ShiftInto(at.y, kept.top, kept.bottom, bounds.top, bounds.bottom);
    return moved;
}

int CoversWhole(const Edges &window, const Edges &monitor)
{
    return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
           window.bottom >= monitor.bottom;
}
