// Placement arithmetic without any window: computed in 64 bits and
// saturated to the int range, because offsets come from a hand-editable
// settings file and from skins made by strangers.
#ifndef TKP_CLOCKWIN_GEOMETRY_H
#define TKP_CLOCKWIN_GEOMETRY_H

#include <stdint.h>

int SaturateToInt(int64_t value);

// Where the clock's top-left corner goes on a perch window whose rectangle
// has the given left, top and right edges.
struct PerchPoint {
    int x;
    int y;
};
PerchPoint ComputePerchPoint(int perchLeft, int perchTop, int perchRight, int position,
                             int dockOverlap, int dockRise);

// The offset a drag records: from the perch's right edge to the clock's left edge.
int OffsetFromPerch(int perchRight, int clockLeft);

// Start of a span of length (innerEnd - innerStart) centred over
// [outerStart, outerEnd); the halving truncates toward zero.
int CenteredStart(int outerStart, int outerEnd, int innerStart, int innerEnd);

#endif
