#include "monitors.h"

#include "../skin/face.h"
#include "onscreen.h"
#include "syscalls.h"

// Windows 95 and NT 4 know one screen and none of these functions: they are
// looked up once, and missing ones mean the primary screen.
typedef HMONITOR(WINAPI *MonitorFromWindowProc)(HWND, DWORD);
typedef BOOL(WINAPI *GetMonitorInfoProc)(HMONITOR, LPMONITORINFO);
typedef HWND(WINAPI *GetShellWindowProc)(void);

static struct {
    int lookedUp;
    MonitorFromWindowProc monitorFromWindow;
    GetMonitorInfoProc getMonitorInfo;
    GetShellWindowProc getShellWindow;
} User;

static void LookUpUser(void)
{
    if (User.lookedUp)
        return;
#ifdef UNICODE
    const char getMonitorInfo[] = "GetMonitorInfoW";
#else
    const char getMonitorInfo[] = "GetMonitorInfoA";
#endif
    HMODULE user = GetModuleHandle(TEXT("user32.dll"));
    User.monitorFromWindow = (MonitorFromWindowProc)(void *)GetProcAddress(user, "MonitorFromWindow");
    User.getMonitorInfo = (GetMonitorInfoProc)(void *)GetProcAddress(user, getMonitorInfo);
    User.getShellWindow = (GetShellWindowProc)(void *)GetProcAddress(user, "GetShellWindow");
    User.lookedUp = 1;
}

// MonitorFromWindow takes a fifth of a millisecond under Wine, and updates
// come in bursts: the monitor found last serves a window that keeps its
// rectangle or lies wholly on it, for a second (its layout and work area
// may change meanwhile).
static struct {
    int valid;
    DWORD at;
    RECT window, monitor, work;
} Last;

static int MonitorOf(HWND window, const RECT &rect, int workArea, RECT *bounds)
{
    RECT inside;
    int known = Last.valid && GetTickCount() - Last.at < 1000 &&
                (EqualRect(&rect, &Last.window) ||
                 (IntersectRect(&inside, &rect, &Last.monitor) && EqualRect(&inside, &rect)));
    if (!known) {
        LookUpUser();
        if (User.monitorFromWindow && User.getMonitorInfo) {
            MONITORINFO info;
            info.cbSize = sizeof info;
            HMONITOR monitor = User.monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
            if (!monitor || !User.getMonitorInfo(monitor, &info))
                return 0;
            Last.monitor = info.rcMonitor;
            Last.work = info.rcWork;
        } else {
            SetRect(&Last.monitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
            if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &Last.work, 0))
                Last.work = Last.monitor;
        }
        Last.window = rect;
        Last.at = GetTickCount();
        Last.valid = 1;
    }
    *bounds = workArea ? Last.work : Last.monitor;
    return 1;
}

static Edges EdgesOf(const RECT &rect)
{
    Edges edges = {(int)rect.left, (int)rect.top, (int)rect.right, (int)rect.bottom};
    return edges;
}

PerchPoint KeepFaceOnMonitor(HWND perch, const RECT &perchRect, PerchPoint at, int clockWidth, int clockHeight)
{
    // A maximised window's rectangle reaches past its monitor (by 8 pixels
    // on Windows 10 and 11): its work area keeps a taskbar at the top free.
    RECT kept, bounds;
    if (!MonitorOf(perch, perchRect, IsZoomed(perch), &bounds))
        return at;
    if (!FaceArea(&kept))
        SetRect(&kept, 0, 0, clockWidth, clockHeight);
    return KeepWithin(at, EdgesOf(kept), EdgesOf(bounds));
}

// The desktop behind the icons: the shell's window, and the window Windows
// 10 and 11 put in front when the user clicks the desktop or presses Win+D.
static int IsShellDesktop(HWND window)
{
    TCHAR name[16];
    LookUpUser();
    if (User.getShellWindow && window == User.getShellWindow())
        return 1;
    if (!GetClassName(window, name, sizeof name / sizeof name[0]))
        return 0;
    return lstrcmp(name, TEXT("Progman")) == 0 || lstrcmp(name, TEXT("WorkerW")) == 0;
}

int IsFullscreenWindow(HWND window, HWND clock, HWND taskbar, int *shellReport)
{
    RECT rect, monitor;
    if (!window || window == clock || window == taskbar || window == GetDesktopWindow() ||
        !IsWindowVisible(window) || IsIconic(window))
        return 0;
    // A maximised window reaches past its monitor by its frame: a plain window.
    int covers = GetWindowRect(window, &rect) && MonitorOf(window, rect, 0, &monitor) &&
                 CoversWhole(EdgesOf(rect), EdgesOf(monitor)) && !IsZoomed(window);
    if (!covers && *shellReport < 0)
        *shellReport = ShellReportsFullscreen();
    // The desktop's class is asked last: updates come in bursts.
    return (covers || *shellReport) && !IsShellDesktop(window);
}
