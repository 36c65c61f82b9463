// Docking: the clock follows the foreground window, whatever window the
// hook library reported, and the user slides it along the title bar.
#include <windows.h>

#include "../base/appstate.h"
#include "../skin/skin.h"
#include "clockwin.h"
#include "geometry.h"
#include "monitors.h"
#include "perchwatch.h"

static int HasFrame(LONG style)
{
    return (style & (WS_BORDER | WS_DLGFRAME)) != 0;
}

static HWND FindTaskbar(void)
{
    return FindWindow(TEXT("Shell_TrayWnd"), NULL);
}

// Windows the clock never perches on.
static int IsNeverAPerch(HWND window, HWND clock, HWND taskbar)
{
    return window == NULL || window == clock || window == taskbar || window == GetDesktopWindow();
}

// The foreground window docking last judged, and its rectangle then: what
// the tick compares with.
static struct {
    HWND window;
    RECT rect;
} Judged;

static void ReadRect(HWND window, RECT *rect)
{
    if (!window || !GetWindowRect(window, rect))
        SetRectEmpty(rect);
}

static void NoteForegroundJudged(HWND foreground)
{
    Judged.window = foreground;
    ReadRect(foreground, &Judged.rect);
}

// Shown and not minimised, in one question to the system: every tick asks
// it. A window that is gone has no style.
static int IsStandingPerch(HWND window)
{
    LONG style = window ? GetWindowLong(window, GWL_STYLE) : 0;
    return (style & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE;
}

void CheckPerchOnTick(HWND clock)
{
    // Menus, dialogs and the exit hold docking back; a tick must not either.
    if (AppState.DockingSuspended || AppState.ExitRequested)
        return;
    HWND foreground = GetForegroundWindow();
    RECT rect;
    ReadRect(foreground, &rect);
    int perchLost = IsWindowVisible(clock) && !IsStandingPerch(AppState.DockTarget);
    if (!perchLost && foreground == Judged.window && EqualRect(&rect, &Judged.rect))
        return;
    OnDockUpdate(clock);
    // A refused foreground left the clock on the perch it had.
    if (IsWindowVisible(clock) && !IsStandingPerch(AppState.DockTarget))
        ShowWindow(clock, SW_HIDE);
}

LRESULT OnClockCreate(HWND clock)
{
    LONG style = GetWindowLong(clock, GWL_STYLE);
    SetWindowLong(clock, GWL_STYLE, style & ~(WS_CAPTION | WS_SYSMENU));
    PostMessage(clock, WM_DOCK_UPDATE, 0, 0);
    return 1;
}

int PlaceClock(HWND clock, HWND perch, int position)
{
    // The perch may be destroyed between the tests and this read: then the
    // clock stays where it is.
    RECT perchRect, clockRect;
    if (!GetWindowRect(perch, &perchRect) || !GetWindowRect(clock, &clockRect))
        return 1;
    PerchPoint point = ComputePerchPoint(perchRect.left, perchRect.top, perchRect.right, position,
                                         SkinHeader.dockOverlap, SkinHeader.dockRise);
    int width = clockRect.right - clockRect.left, height = clockRect.bottom - clockRect.top;
    if (AppState.ClockOptions.onScreen)
        point = KeepFaceOnMonitor(perch, perchRect, point, width, height);
    MoveWindow(clock, point.x, point.y, width, height, TRUE);
    return 1;
}

LRESULT OnDockUpdate(HWND clock)
{
    // Until a skin is in force the window is a plain white square: a
    // start-up message box's loop must not dock it over the box.
    if (AppState.DockingSuspended || !AppState.SkinBitmap)
        return 1;
    HWND taskbar = FindTaskbar();
    HWND foreground = GetForegroundWindow();
    NoteForegroundJudged(foreground);
    LONG style = GetWindowLong(foreground, GWL_STYLE);
    LONG exStyle = GetWindowLong(foreground, GWL_EXSTYLE);
    // A minimised window can stay in front (far off screen): no perch either.
    if (IsNeverAPerch(foreground, clock, taskbar) || !IsWindowVisible(foreground) || !HasFrame(style) ||
        (exStyle & WS_EX_TOOLWINDOW) || IsIconic(foreground)) {
        // Fullscreen video and games have no frame: keep off their picture.
        if (AppState.ClockOptions.hideFullscreen && IsFullscreenWindow(foreground, clock, taskbar))
            ShowWindow(clock, SW_HIDE);
        return 1;
    }

    PlaceClock(clock, foreground, AppState.ClockOptions.position);
    if (!AppState.ExitRequested)
        ShowWindow(clock, SW_SHOWNOACTIVATE);

    // The foreground can change while we move; judge the perch once more.
    AppState.DockTarget = GetForegroundWindow();
    if (IsNeverAPerch(GetForegroundWindow(), clock, taskbar))
        AppState.DockTarget = AppState.PreviousDockTarget;
    else
        AppState.PreviousDockTarget = AppState.DockTarget;
    WatchPerchProcess(AppState.DockTarget);
    return 1;
}

LRESULT OnDockDestroyed(HWND clock)
{
    HWND taskbar = FindTaskbar();
    HWND foreground = GetForegroundWindow();
    LONG style = GetWindowLong(foreground, GWL_STYLE);
    if (foreground == taskbar || foreground == GetDesktopWindow() || foreground == NULL ||
        !IsWindowVisible(foreground)) {
        ShowWindow(clock, SW_HIDE);
        return 1;
    }
    if (HasFrame(style) || foreground == clock)
        PostMessage(clock, WM_DOCK_UPDATE, 0, 0);
    else
        ShowWindow(clock, SW_HIDE);
    return 1;
}

LRESULT OnDockSysClose(HWND clock)
{
    if (GetForegroundWindow() != clock)
        ShowWindow(clock, SW_HIDE);
    return 1;
}

LRESULT OnLButtonDown(HWND clock, WPARAM wParam, LPARAM lParam)
{
    // A press anywhere on the clock acts like a press on a caption.
    DefWindowProc(clock, WM_LBUTTONDOWN, wParam, lParam);
    SendMessage(clock, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
    return 0;
}

LRESULT OnNcLButtonDown(HWND clock, WPARAM wParam, LPARAM lParam)
{
    // For HTCAPTION this runs the system's move loop until the button is up.
    DefWindowProc(clock, WM_NCLBUTTONDOWN, wParam, lParam);

    if (AppState.DockTarget == clock)
        AppState.DockTarget = AppState.PreviousDockTarget;
    else
        AppState.PreviousDockTarget = AppState.DockTarget;

    // A perch that is gone has no right edge to measure from: keep the
    // offset and leave the foreground alone.
    RECT clockRect, perchRect;
    if (!AppState.DockTarget || !GetWindowRect(AppState.DockTarget, &perchRect) ||
        !GetWindowRect(clock, &clockRect))
        return 0;
    AppState.ClockOptions.position = OffsetFromPerch(perchRect.right, clockRect.left);
    SetForegroundWindow(AppState.DockTarget);
    return 0;
}
