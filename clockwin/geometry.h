// The clock's placement on its perch, without any window (see
// base/placement.h for why everything saturates).
#ifndef TKP_CLOCKWIN_GEOMETRY_H
#define TKP_CLOCKWIN_GEOMETRY_H

#include "../base/placement.h"

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

#endif
