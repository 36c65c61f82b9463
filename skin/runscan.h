// Finding the runs of a picture row that differ from the key colour.
#ifndef TKP_SKIN_RUNSCAN_H
#define TKP_SKIN_RUNSCAN_H

#include <stddef.h>
#include <stdint.h>

// Writes each maximal run of pixels != key as [starts[i], ends[i]) and
// returns the number of runs; both arrays need room for (width + 1) / 2.
size_t ScanRowRuns(const uint32_t *row, int width, uint32_t key, int *starts, int *ends);

#endif
