#include "facelayout.h"

#include <stdint.h>

int ShownHour(int hour, int timeSys, int *isPm)
{
    *isPm = 0;
    if (hour > 12 && timeSys == 12) {
        *isPm = 1;
        return hour - 12;
    }
    return hour;
}

int FacePosition(int origin, int offset)
{
    int64_t position = (int64_t)origin + offset;
    return position > INT32_MAX ? INT32_MAX : (int)position;
}
