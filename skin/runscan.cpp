#include "runscan.h"

size_t ScanRowRuns(const uint32_t *row, int width, uint32_t key, int *starts, int *ends)
{
    size_t count = 0;
    int x = 0;
    while (x < width) {
        while (x < width && row[x] == key)
            x++;
        if (x == width)
            break;
        starts[count] = x;
        while (x < width && row[x] != key)
            x++;
        ends[count] = x; // a run that reaches the right edge keeps the last pixel
        count++;
    }
    return count;
}
