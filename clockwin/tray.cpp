#include "tray.h"

#include <shellapi.h>
#include <stddef.h>
#include <string.h>

#include "../base/appstate.h"
#include "../base/helpers.h"

#ifndef _WIN64
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == 88, "the icon record's 32-bit size");
#endif

BOOL NotifyTrayIcon(HWND window, DWORD action, UINT iconId, HICON icon, const TCHAR *tip, UINT callbackMessage)
{
    NOTIFYICONDATA record;
    memset(&record, 0, sizeof record);
    record.cbSize = NOTIFYICONDATA_V1_SIZE;
    record.hWnd = window;
    record.uID = iconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    record.hIcon = icon;
    if (tip)
        lstrcpyn(record.szTip, tip, 64);
    BOOL done = Shell_NotifyIcon(action, &record);
    // The shell keeps its own copy of the picture.
    if (icon)
        DestroyIcon(icon);
    return done;
}

BOOL ChangeTrayIcon(HWND window, int operation, UINT iconId, HICON icon, const TCHAR *tip, UINT callbackMessage)
{
    switch (operation) {
    case TRAY_ADD:
        return NotifyTrayIcon(window, NIM_ADD, iconId, icon, tip, callbackMessage);
    case TRAY_DELETE:
        return NotifyTrayIcon(window, NIM_DELETE, iconId, icon, NULL, 0);
    case TRAY_MODIFY:
        return NotifyTrayIcon(window, NIM_MODIFY, iconId, icon, tip, callbackMessage);
    }
    if (icon)
        DestroyIcon(icon); // consumed on every path
    return 0;
}

UINT TaskbarCreatedMessage(void)
{
    static UINT message;
    if (!message)
        message = RegisterWindowMessage(TEXT("TaskbarCreated"));
    return message;
}

BOOL ChangeClockTrayIcon(HWND clock, int operation)
{
    return ChangeTrayIcon(clock, operation, TRAY_ICON_ID, LoadSmallIcon(AppState.AppInstance, TEXT("TKPCOV")), TRAY_TIP,
                          WM_TRAY_NOTIFY);
}

void FollowTrayOption(HWND clock, int wasShown)
{
    // Whatever the shell answers, the option records what the user asked
    // for. Any non-zero value from a hand-edited settings file put the icon
    // there at start, so clearing the box must take it away, or it would
    // outlive the program.
    int shown = AppState.ClockOptions.tray;
    if (shown && !wasShown)
        ChangeClockTrayIcon(clock, TRAY_ADD);
    else if (!shown && wasShown)
        ChangeClockTrayIcon(clock, TRAY_DELETE);
}

void OnTaskbarCreated(HWND clock)
{
    if (AppState.ClockOptions.tray)
        ChangeClockTrayIcon(clock, TRAY_ADD);
}
