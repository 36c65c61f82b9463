// TKPCHHK.dll: a system-wide WH_CALLWNDPROC hook that tells the clock when
// windows are created, moved, sized, activated, shown, destroyed or asked to
// minimise or close. The library is mapped into every GUI process of the
// desktop, so it links no C runtime and its hook procedure only posts.
#include <windows.h>

#include "../common/dockmsg.h"
#include "hooklib.h"

// One copy of this section serves every process that maps the library.
// One record, so that the layout is ours and not the compiler's: the hook
// handle at offset 0, the clock window in the word after it. It must be
// initialised: an uninitialised one would go to .bss, which is private to
// each process, and the hook would never find the clock.
struct SharedRecord {
    HHOOK SharedHook;
    HWND SharedClockWindow;
};
__attribute__((section("shared"), shared)) SharedRecord Shared = {0, 0};

static HINSTANCE LibInstance;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        LibInstance = instance;
    return TRUE;
}

// Runs in every GUI thread of the desktop before each sent message reaches
// its window: test, one switch, at most one post, pass on. Nothing more.
static LRESULT CALLBACK DockHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
        switch (sent->message) {
        case WM_CREATE:
        case WM_MOVE:
        case WM_SIZE:
        case WM_ACTIVATE:
        case WM_SHOWWINDOW:
        case WM_ACTIVATEAPP:
            PostMessageA(Shared.SharedClockWindow, WM_DOCK_UPDATE, (WPARAM)sent->hwnd, 0);
            break;
        case WM_DESTROY:
            PostMessageA(Shared.SharedClockWindow, WM_DOCK_DESTROYED, 0, 0);
            break;
        case WM_SYSCOMMAND:
            // Whole values: a command with any of its low four bits set is
            // not a plain minimise or close.
            if (sent->wParam == SC_MINIMIZE || sent->wParam == SC_CLOSE)
                PostMessageA(Shared.SharedClockWindow, WM_DOCK_SYSCLOSE, 0, 0);
            break;
        }
    }
    return CallNextHookEx(Shared.SharedHook, code, wParam, lParam);
}

extern "C" BOOL WINAPI SetHook(HWND clockWindow)
{
    // A record left by a clock that was killed while other processes kept
    // the library mapped names a window that is gone: install afresh then.
    if (Shared.SharedHook && IsWindow(Shared.SharedClockWindow))
        return TRUE;
    Shared.SharedClockWindow = clockWindow; // before the hook exists, so every call finds it
    Shared.SharedHook = SetWindowsHookExA(WH_CALLWNDPROC, DockHookProc, LibInstance, 0);
    return TRUE;
}

extern "C" BOOL WINAPI FreeHook(void)
{
    UnhookWindowsHookEx(Shared.SharedHook);
    Shared.SharedHook = 0;
    return TRUE;
}
