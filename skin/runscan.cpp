#include "runscan.h"

size_t ScanRowRuns(const uint32_t *row, int width, uint32_t key, int *starts, int *ends)
{
    // A key that is no colour (CLR_INVALID) matches no pixel: the whole row
    // is one run. The skip below compares colour bits only and would take
    // white for such a key.
    if (key & ~RUN_COLOUR_MASK) {
        if (width <= 0)
            return 0;
        starts[0] = 0;
        ends[0] = width;
        return 1;
    }
    size_t count = 0;
    int x = 0;
    while (x < width) {
        // Key pixels mostly come in long stretches: skip them four at a time.
        while (x + 4 <= width &&
               (((row[x] ^ key) | (row[x + 1] ^ key) | (row[x + 2] ^ key) | (row[x + 3] ^ key)) & RUN_COLOUR_MASK) == 0)
            x += 4;
        while (x < width && (row[x] & RUN_COLOUR_MASK) == key)
            x++;
        if (x == width)
            break;
        starts[count] = x;
        while (x < width && (row[x] & RUN_COLOUR_MASK) != key)
            x++;
        ends[count] = x; // a run that reaches the right edge keeps the last pixel
        count++;
    }
    return count;
}

size_t ScanOutlineRow(OutlineScan *scan, const uint32_t *row, int width, int *starts, int *ends)
{
    size_t runs = ScanRowRuns(row, width, scan->key, starts, ends);
    scan->runs += runs;
    return scan->runs > MAX_OUTLINE_RUNS ? OUTLINE_TOO_COMPLEX : runs;
}
