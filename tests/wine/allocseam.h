// The test program's own entry for GlobalAlloc: the program's code gets
// real memory, except while a test says the next allocations fail.
#ifndef TKP_TESTS_WINE_ALLOCSEAM_H
#define TKP_TESTS_WINE_ALLOCSEAM_H

#include <windows.h>

// While one of these lives, every GlobalAlloc of the program's code fails.
class GlobalAllocFails {
public:
    GlobalAllocFails();
    ~GlobalAllocFails();
    int refused() const;
};

#endif
