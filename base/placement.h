// Window arithmetic without any window: computed in 64 bits and saturated
// to the int range, because offsets come from a hand-editable settings file
// and from skins made by strangers.
#ifndef TKP_BASE_PLACEMENT_H
#define TKP_BASE_PLACEMENT_H

#include <stdint.h>

int SaturateToInt(int64_t value);

// Start of a span of length (innerEnd - innerStart) centred over
// [outerStart, outerEnd); the halving truncates toward zero.
int CenteredStart(int outerStart, int outerEnd, int innerStart, int innerEnd);

#endif
