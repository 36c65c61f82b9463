#include "testkit.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "base/appstate.h"
#include "common/dockmsg.h"
#include "skin/skin.h"
#include "skin/skinload.h"
#include "startup/lifecycle.h"

TString ToT(const std::string &text)
{
#ifdef UNICODE
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? (size_t)length - 1 : 0);
    return wide;
#else
    return text;
#endif
}

std::string FromT(const TCHAR *text)
{
#ifdef UNICODE
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
    std::string bytes(length > 0 ? (size_t)length : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &bytes[0], (int)bytes.size(), NULL, NULL);
    bytes.resize(bytes.size() - 1);
    return bytes;
#else
    return text;
#endif
}

static void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

TempFolder::TempFolder()
{
    static int serial;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH];
    wsprintfA(name, "%stkp-%lu-%lu-%d", base, GetCurrentProcessId(), GetTickCount(), ++serial);
    path_ = name;
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), NULL);
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

void TempFolder::write(const std::string &name, const std::vector<unsigned char> &bytes) const
{
    HANDLE handle = CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(handle);
    ASSERT_EQ(written, bytes.size());
}

void TempFolder::write(const std::string &name, const std::string &text) const
{
    write(name, std::vector<unsigned char>(text.begin(), text.end()));
}

std::string ReadIniString(const std::string &file, const char *section, const char *key)
{
    char value[512];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

static LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeTestWindow(int x, int y, int width, int height, DWORD style, DWORD exStyle)
{
    static ATOM windowClass;
    if (!windowClass) {
        WNDCLASSA description = {};
        description.lpfnWndProc = TestWindowProc;
        description.hInstance = GetModuleHandleA(NULL);
        description.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        description.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        description.lpszClassName = "TkpTestPerch";
        windowClass = RegisterClassA(&description);
    }
    HWND window = CreateWindowExA(exStyle, "TkpTestPerch", "perch", style, x, y, width, height, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

void MakeForeground(HWND window)
{
    SetForegroundWindow(window);
    PumpUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

int GdiRoom()
{
    std::vector<HRGN> made;
    made.reserve(70000);
    HRGN region;
    while (made.size() < 70000 && (region = CreateRectRgn(0, 0, 1, 1)) != NULL)
        made.push_back(region);
    for (HRGN each : made)
        DeleteObject(each);
    return (int)made.size();
}

ClockTestWindows::ClockTestWindows(bool withSkin)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (AppState.SkinBitmap)
        DeleteObject(AppState.SkinBitmap);
    memset(&AppState, 0, sizeof AppState);
    memset(&SkinHeader, 0, sizeof SkinHeader);
    AppState.AppInstance = instance;
    AppState.ClockOptions.position = 500;
    AppState.ClockOptions.timeSys = 24;
    AppState.ClockOptions.tooltip = 1;
    AppState.ClockOptions.tray = 0;
    EXPECT_TRUE(CreateClockWindows());
    if (withSkin)
        UseBuiltInSkin(AppState.ClockWindow);
    // Docking from the creation's own update would race the test's steps.
    MSG stale;
    while (PeekMessageA(&stale, AppState.ClockWindow, WM_DOCK_UPDATE, WM_DOCK_UPDATE, PM_REMOVE)) {
    }
}

ClockTestWindows::~ClockTestWindows()
{
    DestroyWindow(AppState.ClockWindow);
    DestroyWindow(AppState.OwnerWindow);
    // The next test's clock registers the classes afresh, as start-up does.
    UnregisterClassA("MAIN", GetModuleHandleA(NULL));
    UnregisterClassA("BACK", GetModuleHandleA(NULL));
    MSG quit;
    PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    PumpMessages(10);
}

HWND ClockTestWindows::clock() const
{
    return AppState.ClockWindow;
}

MessageBoxWatcher::MessageBoxWatcher() : stop_(0)
{
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(NULL, 0, Watch, this, 0, NULL);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    DeleteCriticalSection(&lock_);
}

static BOOL CALLBACK FindOurBox(HWND window, LPARAM found)
{
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) &&
        GetWindowThreadProcessId(window, NULL) != 0) {
        DWORD process;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && GetDlgItem(window, 0xFFFF)) {
            *(HWND *)found = window;
            return FALSE;
        }
    }
    return TRUE;
}

static BOOL CALLBACK FindIconControl(HWND control, LPARAM found)
{
    char className[16];
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *(HWND *)found = control;
        return FALSE;
    }
    return TRUE;
}

// The box shows one of the system's shared icons, one for each MB_ICON... style.
static UINT IconStyleOf(HWND box)
{
    HWND control = NULL;
    EnumChildWindows(box, FindIconControl, (LPARAM)&control);
    HICON shown = control ? (HICON)SendMessageA(control, STM_GETICON, 0, 0) : NULL;
    const struct {
        LPCTSTR icon;
        UINT style;
    } styles[] = {{IDI_HAND, MB_ICONERROR},
                  {IDI_QUESTION, MB_ICONQUESTION},
                  {IDI_EXCLAMATION, MB_ICONWARNING},
                  {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (const auto &style : styles)
        if (shown && shown == LoadIcon(NULL, style.icon))
            return style.style;
    return 0;
}

DWORD WINAPI MessageBoxWatcher::Watch(void *self)
{
    MessageBoxWatcher *watcher = (MessageBoxWatcher *)self;
    while (!watcher->stop_) {
        HWND box = NULL;
        EnumWindows(FindOurBox, (LPARAM)&box);
        if (box) {
            char caption[256] = "", text[1024] = "";
            GetWindowTextA(box, caption, sizeof caption);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            SeenBox seen = {caption, text, GetWindow(box, GW_OWNER), IconStyleOf(box)};
            EnterCriticalSection(&watcher->lock_);
            watcher->seen_.push_back(seen);
            LeaveCriticalSection(&watcher->lock_);
            // Wait until the box is gone, so it is counted once.
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 200 && IsWindow(box); i++)
                Sleep(10);
        }
        Sleep(10);
    }
    return 0;
}

std::vector<std::string> MessageBoxWatcher::seen()
{
    std::vector<std::string> texts;
    for (const SeenBox &box : details())
        texts.push_back(box.caption + "|" + box.text);
    return texts;
}

std::vector<SeenBox> MessageBoxWatcher::details()
{
    EnterCriticalSection(&lock_);
    std::vector<SeenBox> copy = seen_;
    LeaveCriticalSection(&lock_);
    return copy;
}

void MessageBoxWatcher::clear()
{
    EnterCriticalSection(&lock_);
    seen_.clear();
    LeaveCriticalSection(&lock_);
}

HANDLE HoldFileInOtherProcess(const std::string &path)
{
    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, MAX_PATH);
    std::string commandLine = std::string("\"") + program + "\" --hold-file \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return NULL;
    CloseHandle(info.hThread);
    // The holder says it has the file by making a named event.
    std::string eventName = "tkp-holding-" + std::to_string(info.dwProcessId);
    for (int i = 0; i < 500; i++) {
        HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, eventName.c_str());
        if (ready) {
            CloseHandle(ready);
            return info.hProcess;
        }
        Sleep(10);
    }
    return info.hProcess;
}

void ReleaseFile(HANDLE holder)
{
    TerminateProcess(holder, 0);
    WaitForSingleObject(holder, 5000);
    CloseHandle(holder);
}
