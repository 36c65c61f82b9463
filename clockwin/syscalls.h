// What only newer Windows can tell or do, and Wine cannot: each function is
// looked up at run time (the x86 edition still starts on Windows 95 and NT 4)
// and is NULL where the system lacks it, which leaves the older behaviour.
#ifndef TKP_CLOCKWIN_SYSCALLS_H
#define TKP_CLOCKWIN_SYSCALLS_H

#include <windows.h>

// Filled by LookUpSystemCalls where still NULL: tests put their own in first.
struct SystemCalls {
    // DwmGetWindowAttribute (Vista on), asked for DWMWA_CLOAKED alone.
    HRESULT(WINAPI *windowAttribute)(HWND, DWORD, void *, DWORD);
    // SHQueryUserNotificationState (Vista on).
    HRESULT(WINAPI *notificationState)(int *);
    // ChangeWindowMessageFilterEx (7 on), else ChangeWindowMessageFilter (Vista).
    BOOL(WINAPI *filterMessageEx)(HWND, UINT, DWORD, void *);
    BOOL(WINAPI *filterMessage)(UINT, DWORD);
    // The virtual desktop manager (COM, Windows 10 on): 1 on success.
    int (*desktopOf)(HWND window, GUID *desktop);
    int (*moveToDesktop)(HWND window, const GUID *desktop);
    // A classic console's window, which belongs to the console host and not
    // to the process GetWindowThreadProcessId names.
    int (*isConsoleWindow)(HWND window);
};
extern SystemCalls Sys;

// Looks up what the system has (the desktop manager once a run).
void LookUpSystemCalls(void);
// Lets the desktop manager go (at exit).
void ReleaseSystemCalls(void);

// Kept from the user while WS_VISIBLE: on another virtual desktop, or a
// store program the system suspended.
int IsCloaked(HWND window);
// The shell reports exclusive Direct3D fullscreen or presentation mode.
int ShellReportsFullscreen(void);
// Puts the window on the virtual desktop of perch when it stands on
// another one; returns 1 when it was moved.
int MoveToDesktopOf(HWND window, HWND perch);
// An elevated clock hears lower programs only for the messages it lets
// through: the hook library's, the taskbar's restart and a file drop.
void LetMessagesThrough(HWND clock);

#endif
