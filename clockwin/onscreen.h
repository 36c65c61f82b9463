// Keeping the clock's face in sight and telling a fullscreen window, without
// any window: plain signed rectangles (a monitor left of or above the
// primary one has negative coordinates).
#ifndef TKP_CLOCKWIN_ONSCREEN_H
#define TKP_CLOCKWIN_ONSCREEN_H

#include "geometry.h"

// Edges as the system gives them: right and bottom one past the last pixel.
struct Edges {
    int left;
    int top;
    int right;
    int bottom;
};

// Where the clock whose top-left corner is at the point goes so that the
// part of it that must be seen (kept, relative to that corner) lies within
// the bounds: moved the least distance, unchanged when it lies there
// already. A part larger than the bounds keeps its left or top edge inside.
PerchPoint KeepWithin(PerchPoint at, const Edges &kept, const Edges &bounds);

// A window covers its monitor when no pixel of the monitor lies outside it.
int CoversWhole(const Edges &window, const Edges &monitor);

#endif
