#include "placement.h"

int SaturateToInt(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return (int)value;
}

int CenteredStart(int outerStart, int outerEnd, int innerStart, int innerEnd)
{
    int64_t spare = ((int64_t)outerEnd - outerStart) - ((int64_t)innerEnd - innerStart);
    return SaturateToInt(outerStart + spare / 2); // C++ division truncates toward zero
}
