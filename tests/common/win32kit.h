// Small Win32 helpers shared by the test programs (the in-process tests,
// the end-to-end driver and the benchmarks). Header-only: each program is
// linked on its own.
#ifndef TKP_TESTS_COMMON_WIN32KIT_H
#define TKP_TESTS_COMMON_WIN32KIT_H

#include <windows.h>

// Describes 32-bit BI_RGB pixels, top row first.
inline BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Dispatches this thread's messages for about the given time.
inline void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - start >= milliseconds)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 2, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

// Dispatches until the predicate holds or the time is up; returns the predicate.
template <typename Predicate> bool PumpUntil(Predicate done, DWORD milliseconds = 5000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        PumpMessages(5);
    }
    return true;
}

// The performance counter, and milliseconds between two of its readings.
inline LONGLONG CounterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double CounterMilliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)ticks / (double)frequency.QuadPart;
}

#endif
