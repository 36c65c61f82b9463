// The test program's own entry for Shell_NotifyIcon (A or W, as the edition
// calls it): every call the
// program's code makes is recorded (action and the record as handed over)
// and then passed on to the real shell, so the tests see both the record
// and the shell's answer.
#ifndef TKP_TESTS_WINE_SHELLSEAM_H
#define TKP_TESTS_WINE_SHELLSEAM_H

#include <windows.h>

#include <shellapi.h>

#include <vector>

#ifdef UNICODE
#define TRAY_NOTIFY_NAME "Shell_NotifyIconW"
#else
#define TRAY_NOTIFY_NAME "Shell_NotifyIconA"
#endif

struct TrayCall {
    DWORD action;
    NOTIFYICONDATA record; // the bytes the caller's cbSize covers; the rest zero
    BOOL result;
    std::vector<unsigned> icon; // IconPixels of the icon handed over
};

std::vector<TrayCall> &TrayCalls();

// An icon drawn at 16 x 16 on white, as 0x00RRGGBB; empty for no icon.
std::vector<unsigned> IconPixels(HICON icon);
// The same for the program's own icon resource, "TKPCOV".
std::vector<unsigned> ClockIconPixels();

#endif
