// Finding the runs of a picture row that differ from the key colour.
#ifndef TKP_SKIN_RUNSCAN_H
#define TKP_SKIN_RUNSCAN_H

#include <stddef.h>
#include <stdint.h>

// Only the low 24 bits of a pixel are its colour; the fourth byte is padding.
#define RUN_COLOUR_MASK 0x00FFFFFFu

// Writes each maximal run of pixels whose colour differs from the key's as
// [starts[i], ends[i]) and returns the number of runs; both arrays need room
// for (width + 1) / 2. A key with bits above the colour matches no pixel.
size_t ScanRowRuns(const uint32_t *row, int width, uint32_t key, int *starts, int *ends);

#endif
