// Small Win32 helpers shared by the test programs (the in-process tests,
// the end-to-end driver and the benchmarks). Header-only: each program is
// linked on its own.
#ifndef TKP_TESTS_COMMON_WIN32KIT_H
#define TKP_TESTS_COMMON_WIN32KIT_H

#include <windows.h>

#include <string.h>

#include <string>

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

// The shell's open command of a class under HKLM\Software\Classes (a
// file type's class, or a URL scheme when urlProtocol is set): how the
// tests make the shell hand addresses to a recorder instead of a browser.
inline void SetShellOpenCommand(const std::string &className, const std::string &command, bool urlProtocol)
{
    std::string base = "Software\\Classes\\" + className;
    HKEY key;
    if (urlProtocol && RegCreateKeyExA(HKEY_LOCAL_MACHINE, base.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) ==
                           ERROR_SUCCESS) {
        RegSetValueExA(key, "URL Protocol", 0, REG_SZ, (const BYTE *)"", 1);
        RegCloseKey(key);
    }
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (base + "\\shell\\open\\command").c_str(), 0, NULL, 0, KEY_WRITE, NULL,
                        &key, NULL) == ERROR_SUCCESS) {
        RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE *)command.c_str(), (DWORD)command.size() + 1);
        RegCloseKey(key);
    }
}

// Writes text to path whole or not at all (a temporary beside it, then a
// rename), for a reader that takes the file as soon as it is there.
inline bool WriteFileWhole(const std::string &path, const char *text)
{
    std::string temporary = path + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL wrote = WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    CloseHandle(file);
    return wrote && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

#endif
