#include "syscalls.h"

#include <dwmapi.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "../common/dockmsg.h"
#include "tray.h"

SystemCalls Sys;

// WM_COPYGLOBALDATA, not in the headers: Explorer hands a drop's file list over with it.
enum { COPY_GLOBAL_DATA = 0x0049 };

// CLSID_VirtualDesktopManager and IID_IVirtualDesktopManager, kept here so
// that no import library is needed for them.
static const GUID DesktopManagerClass = {0xaa509086, 0x5ca9, 0x4c25, {0x8f, 0x95, 0x58, 0x9d, 0x3c, 0x07, 0xb4, 0x8a}};
static const GUID DesktopManagerInterface = {
    0xa5cd92ff, 0x29be, 0x454c, {0x8d, 0x04, 0xd8, 0x28, 0x79, 0xfb, 0x3f, 0x1b}};
static const GUID NoDesktop = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

static IVirtualDesktopManager *DesktopManager;
static HMODULE Ole;
static void(WINAPI *Uninitialize)(void);

static int DesktopOf(HWND window, GUID *desktop)
{
    return SUCCEEDED(DesktopManager->GetWindowDesktopId(window, desktop));
}

static int MoveToDesktop(HWND window, const GUID *desktop)
{
    return SUCCEEDED(DesktopManager->MoveWindowToDesktop(window, *desktop));
}

static int HasConsoleClass(HWND window)
{
    TCHAR name[24];
    return GetClassName(window, name, sizeof name / sizeof name[0]) && lstrcmp(name, TEXT("ConsoleWindowClass")) == 0;
}

// From the system folder only: a DLL of that name beside the program (in a
// downloads folder, say) must not be loaded in its place.
static HMODULE LoadSystemLibrary(const TCHAR *name)
{
    TCHAR path[MAX_PATH];
    UINT length = GetSystemDirectory(path, MAX_PATH);
    if (!length || length + 1 + lstrlen(name) >= MAX_PATH)
        return NULL;
    path[length] = TEXT('\\');
    lstrcpy(path + length + 1, name);
    return LoadLibrary(path);
}

// OLE32 is loaded only to ask for the manager; where the system has none
// (before Windows 10, under Wine) it goes again at once.
static void CreateDesktopManager(void)
{
    typedef HRESULT(WINAPI * InitializeProc)(void *);
    typedef HRESULT(WINAPI * CreateProc)(REFCLSID, IUnknown *, DWORD, REFIID, void **);
    Ole = LoadSystemLibrary(TEXT("ole32.dll"));
    if (!Ole)
        return;
    InitializeProc initialize = (InitializeProc)(void *)GetProcAddress(Ole, "CoInitialize");
    CreateProc create = (CreateProc)(void *)GetProcAddress(Ole, "CoCreateInstance");
    Uninitialize = (void(WINAPI *)(void))(void *)GetProcAddress(Ole, "CoUninitialize");
    if (initialize && create && Uninitialize && SUCCEEDED(initialize(NULL))) {
        if (SUCCEEDED(create(DesktopManagerClass, NULL, CLSCTX_ALL, DesktopManagerInterface, (void **)&DesktopManager)))
            return;
        DesktopManager = NULL;
        Uninitialize();
    }
    FreeLibrary(Ole);
    Ole = NULL;
}

void LookUpSystemCalls(void)
{
    static int desktopManagerAsked;
    if (!desktopManagerAsked) {
        desktopManagerAsked = 1;
        CreateDesktopManager();
    }
    if (DesktopManager && !Sys.desktopOf && !Sys.moveToDesktop) {
        Sys.desktopOf = DesktopOf;
        Sys.moveToDesktop = MoveToDesktop;
    }
    if (!Sys.isConsoleWindow)
        Sys.isConsoleWindow = HasConsoleClass;
    HMODULE dwm = Sys.windowAttribute ? NULL : LoadSystemLibrary(TEXT("dwmapi.dll"));
    if (dwm)
        Sys.windowAttribute = (HRESULT(WINAPI *)(HWND, DWORD, void *, DWORD))(void *)GetProcAddress(
            dwm, "DwmGetWindowAttribute");
    HMODULE shell = GetModuleHandle(TEXT("shell32.dll"));
    if (shell && !Sys.notificationState)
        Sys.notificationState =
            (HRESULT(WINAPI *)(int *))(void *)GetProcAddress(shell, "SHQueryUserNotificationState");
    HMODULE user = GetModuleHandle(TEXT("user32.dll"));
    if (!Sys.filterMessageEx && !Sys.filterMessage) {
        Sys.filterMessageEx = (BOOL(WINAPI *)(HWND, UINT, DWORD, void *))(void *)GetProcAddress(
            user, "ChangeWindowMessageFilterEx");
        Sys.filterMessage = (BOOL(WINAPI *)(UINT, DWORD))(void *)GetProcAddress(user, "ChangeWindowMessageFilter");
    }
}

void ReleaseSystemCalls(void)
{
    if (!DesktopManager)
        return;
    DesktopManager->Release();
    DesktopManager = NULL;
    Sys.desktopOf = NULL;
    Sys.moveToDesktop = NULL;
    Uninitialize();
    FreeLibrary(Ole);
    Ole = NULL;
}

int IsCloaked(HWND window)
{
    DWORD cloaked = 0;
    if (!window || !Sys.windowAttribute)
        return 0;
    HRESULT result = Sys.windowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    // Wine answers E_NOTIMPL: there is nothing to ask again.
    if (result == E_NOTIMPL)
        Sys.windowAttribute = NULL;
    return SUCCEEDED(result) && cloaked != 0;
}

int ShellReportsFullscreen(void)
{
    int state = 0;
    return Sys.notificationState && SUCCEEDED(Sys.notificationState(&state)) &&
           (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE);
}

int MoveToDesktopOf(HWND window, HWND perch)
{
    GUID there, here;
    if (!Sys.desktopOf || !Sys.moveToDesktop || !Sys.desktopOf(perch, &there) || IsEqualGUID(there, NoDesktop))
        return 0;
    if (Sys.desktopOf(window, &here) && IsEqualGUID(here, there))
        return 0;
    if (Sys.moveToDesktop(window, &there))
        return 1;
    // An owned window goes where its owner is: move the owner instead.
    HWND owner = GetWindow(window, GW_OWNER);
    return owner && Sys.moveToDesktop(owner, &there);
}

void LetMessagesThrough(HWND clock)
{
    const UINT messages[] = {WM_DOCK_UPDATE, WM_DOCK_DESTROYED, WM_DOCK_SYSCLOSE, TaskbarCreatedMessage(),
                             WM_DROPFILES,   WM_COPYDATA,       COPY_GLOBAL_DATA};
    for (UINT message : messages) {
        if (!message)
            continue;
        if (Sys.filterMessageEx)
            Sys.filterMessageEx(clock, message, MSGFLT_ALLOW, NULL);
        else if (Sys.filterMessage)
            Sys.filterMessage(message, MSGFLT_ADD);
    }
}
