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

// The most rectangles (one per run) an outline may have. Past about 32,765
// Wine's request for the window's shape no longer fits the X display's
// limit and the process dies; on Windows a 4096 x 4096 checkerboard would
// hand the system some eight million. A real skin has a few thousand at
// most (a 4096-pixel-high picture with one run per row has 4,096).
enum { MAX_OUTLINE_RUNS = 30000 };
#define OUTLINE_TOO_COMPLEX ((size_t)-1)

// The rows of one outline, scanned in turn, with the count of their runs.
struct OutlineScan {
    uint32_t key;
    size_t runs; // of every row scanned so far
};

// ScanRowRuns for the outline's next row. Returns the row's runs, or
// OUTLINE_TOO_COMPLEX once the outline has more than MAX_OUTLINE_RUNS.
size_t ScanOutlineRow(OutlineScan *scan, const uint32_t *row, int width, int *starts, int *ends);

#endif
