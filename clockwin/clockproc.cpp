// The clock window's procedure: each message goes to a named handler.
#include <windows.h>

#include <shellapi.h>

#include "clockwin.h"
#include "commands.h"
#include "tooltip.h"
#include "tray.h"

void (*SessionEndStep)(void);

LRESULT CALLBACK ClockWndProc(HWND clock, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The tooltip does not subclass the clock; it sees the mouse through us.
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONUP)
        RelayToTooltip(clock, message, wParam, lParam);

    switch (message) {
    case WM_CREATE:
        OnClockCreate(clock);
        CreateDateTooltip(clock);
        return 1;
    case WM_DOCK_UPDATE:
        return OnDockUpdate(clock);
    case WM_DOCK_DESTROYED:
        return OnDockDestroyed(clock);
    case WM_DOCK_SYSCLOSE:
        return OnDockSysClose(clock);
    case WM_SHOWWINDOW:
        return 1;
    case WM_LBUTTONDOWN:
        return OnLButtonDown(clock, wParam, lParam);
    case WM_NCLBUTTONDOWN:
        return OnNcLButtonDown(clock, wParam, lParam);
    case WM_RBUTTONUP:
        return OnRButtonUp(clock, lParam);
    case WM_TRAY_NOTIFY:
        return OnTrayNotify(clock, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(clock, wParam, lParam);
    case WM_DROPFILES:
        return OnDropFiles(clock, (HDROP)wParam);
    case WM_NOTIFY:
        return OnClockNotify(clock, lParam);
    case WM_PAINT:
        return OnPaint(clock);
    case WM_CLOSE:
        DestroyWindow(clock);
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_ENDSESSION:
        // The loop will not end before the process does: save now.
        if (wParam && SessionEndStep)
            SessionEndStep();
        return 0;
    }
    if (message == TaskbarCreatedMessage() && message != 0) {
        OnTaskbarCreated(clock);
        return 0;
    }
    return DefWindowProc(clock, message, wParam, lParam);
}
