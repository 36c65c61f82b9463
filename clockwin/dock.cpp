// Docking: the clock follows the foreground window, whatever window the
// hook library reported, and the user slides it along the title bar.
#include <windows.h>

#include "../base/appstate.h"
#include "../skin/skin.h"
#include "clockwin.h"
#include "geometry.h"
#include "monitors.h"
#include "perchwatch.h"
#include "syscalls.h"

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

// The foreground window docking last judged, its rectangle then, and what
// was asked about it beyond window queries: what the tick compares with.
static struct {
    HWND window;
    RECT rect;
    int cloaked;      // asked when it was a candidate perch
    int shellReport;  // the shell's fullscreen report, -1 until asked for this window
    int perchCloaked; // -1 until the tick asked about a perch behind this window
} Judged;
// The perch whose virtual desktop was last asked for.
static HWND DesktopAskedFor;

static void ReadRect(HWND window, RECT *rect)
{
    if (!window || !GetWindowRect(window, rect))
        SetRectEmpty(rect);
}

// Returns 1 when the foreground window is another than the one judged last.
static int NoteForegroundJudged(HWND foreground)
{
    int another = foreground != Judged.window;
    if (another)
        Judged.shellReport = -1;
    Judged.window = foreground;
    ReadRect(foreground, &Judged.rect);
    Judged.cloaked = 0;
    Judged.perchCloaked = -1;
    return another;
}

// Shown and not minimised, in one question to the system: every tick asks
// it. A window that is gone has no style.
static int IsStandingPerch(HWND window)
{
    LONG style = window ? GetWindowLong(window, GWL_STYLE) : 0;
    return (style & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE;
}

// A perch in front had its cloak asked by the update that judged it; one
// behind a refused window is asked once a judgement, by the tick.
static int IsPerchCloaked(HWND perch)
{
    if (perch == Judged.window)
        return Judged.cloaked;
    if (Judged.perchCloaked < 0)
        Judged.perchCloaked = IsCloaked(perch);
    return Judged.perchCloaked;
}

static int IsPerchLost(HWND clock)
{
    HWND perch = AppState.DockTarget;
    return IsWindowVisible(clock) && (!IsStandingPerch(perch) || IsPerchCloaked(perch));
}

void CheckPerchOnTick(HWND clock)
{
    // Menus, dialogs and the exit hold docking back; a tick must not either.
    if (AppState.DockingSuspended || AppState.ExitRequested)
        return;
    HWND foreground = GetForegroundWindow();
    RECT rect;
    ReadRect(foreground, &rect);
    if (!IsPerchLost(clock) && foreground == Judged.window && EqualRect(&rect, &Judged.rect))
        return;
    OnDockUpdate(clock);
    // A refused foreground left the clock on the perch it had.
    if (IsPerchLost(clock))
        ShowWindow(clock, SW_HIDE);
}

LRESULT OnClockCreate(HWND clock)
{
    LONG style = GetWindowLong(clock, GWL_STYLE);
    SetWindowLong(clock, GWL_STYLE, style & ~(WS_CAPTION | WS_SYSMENU));
    // A new clock window judges afresh.
    memset(&Judged, 0, sizeof Judged);
    DesktopAskedFor = NULL;
    LookUpSystemCalls();
    LetMessagesThrough(clock);
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

// Windows 10 and later show a window on its own virtual desktop only: the
// clock goes to its perch's when the perch changes, or when a new window in
// front finds the clock cloaked (the perch went to another desktop, and the
// user with it). Never on a plain move.
static void FollowPerchDesktop(HWND clock, int anotherForeground)
{
    HWND perch = AppState.DockTarget;
    if (perch == DesktopAskedFor && !(anotherForeground && IsCloaked(clock)))
        return;
    DesktopAskedFor = perch;
    MoveToDesktopOf(clock, perch);
}

LRESULT OnDockUpdate(HWND clock)
{
    // Until a skin is in force the window is a plain white square: a
    // start-up message box's loop must not dock it over the box.
    if (AppState.DockingSuspended || !AppState.SkinBitmap)
        return 1;
    HWND taskbar = FindTaskbar();
    HWND foreground = GetForegroundWindow();
    int anotherForeground = NoteForegroundJudged(foreground);
    LONG style = GetWindowLong(foreground, GWL_STYLE);
    LONG exStyle = GetWindowLong(foreground, GWL_EXSTYLE);
    // A minimised window can stay in front (far off screen): no perch either.
    int candidate = !IsNeverAPerch(foreground, clock, taskbar) && IsWindowVisible(foreground) && HasFrame(style) &&
                    !(exStyle & WS_EX_TOOLWINDOW) && !IsIconic(foreground);
    // Fullscreen video and games, framed or not: keep off their picture.
    if (AppState.ClockOptions.hideFullscreen && IsFullscreenWindow(foreground, clock, taskbar, &Judged.shellReport)) {
        ShowWindow(clock, SW_HIDE);
        return 1;
    }
    // A cloaked window keeps WS_VISIBLE: refused like a hidden one.
    if (!candidate || (Judged.cloaked = IsCloaked(foreground)) != 0)
        return 1;

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
    FollowPerchDesktop(clock, anotherForeground);
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
