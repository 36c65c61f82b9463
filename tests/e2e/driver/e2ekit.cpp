#include "e2ekit.h"

#include <stdarg.h>
#include <stdio.h>

int Failures;
AppFolder App;

void Report(bool passed, const char *file, int line, const std::string &what)
{
    const char *name = strrchr(file, '/');
    name = name ? name + 1 : file;
    if (passed) {
        printf("ok: %s\n", what.c_str());
    } else {
        Failures++;
        printf("FAIL: %s:%d: %s\n", name, line, what.c_str());
        SaveScreenshot(Format("failure-%d.bmp", Failures));
    }
    fflush(stdout);
}

std::string Format(const char *format, ...)
{
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - start >= milliseconds)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 2, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

bool WaitUntil(const std::function<bool()> &done, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Pump(5);
    }
    return true;
}

bool ClockProcess::start(const std::string &arguments)
{
    std::string commandLine = "\"" + App.program() + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startTick = GetTickCount();
    return CreateProcessA(App.program().c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, App.folder.c_str(),
                          &startup, &info) != 0;
}

DWORD ClockProcess::waitExit(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > milliseconds)
            return STILL_ACTIVE;
        Pump(10);
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

void ClockProcess::kill()
{
    if (info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(info.hProcess, 99);
}

HWND FindClock(DWORD milliseconds)
{
    HWND clock = NULL;
    WaitUntil([&] { return (clock = FindWindowA("MAIN", "Tickperch OV")) != NULL; }, milliseconds);
    return clock;
}

HWND WaitForShownClock(DWORD milliseconds)
{
    HWND clock = NULL;
    WaitUntil([&] {
        clock = FindWindowA("MAIN", "Tickperch OV");
        return clock && IsWindowVisible(clock);
    }, milliseconds);
    return clock;
}

void ExitClock(HWND clock)
{
    PostMessageA(clock, WM_COMMAND, 40001, 0); // the menu's Exit
}

static LRESULT CALLBACK PerchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakePerch(int x, int y, int width, int height, DWORD style, DWORD exStyle)
{
    static ATOM registered;
    if (!registered) {
        WNDCLASSA description = {};
        description.lpfnWndProc = PerchProc;
        description.hInstance = GetModuleHandleA(NULL);
        description.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        description.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        description.lpszClassName = "TkpE2EPerch";
        registered = RegisterClassA(&description);
    }
    HWND window = CreateWindowExA(exStyle, "TkpE2EPerch", "perch", style, x, y, width, height, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump(20);
    return window;
}

bool Activate(HWND window)
{
    SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

RECT Rect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

POINT PerchPoint(HWND perch, int position, int overlap, int rise)
{
    RECT rect = Rect(perch);
    long long x = (long long)rect.right - position;
    if (x + overlap < rect.left)
        x = rect.left - overlap;
    if (x + overlap > rect.right)
        x = rect.right - overlap;
    return POINT{(LONG)x, rect.top - rise};
}

bool ClockSettlesAt(HWND clock, POINT point, DWORD milliseconds)
{
    return WaitUntil([&] {
        RECT rect = Rect(clock);
        return IsWindowVisible(clock) && rect.left == point.x && rect.top == point.y;
    }, milliseconds);
}

bool ClockOutOfSight(HWND clock)
{
    RECT rect = Rect(clock), screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT common;
    return !IsWindowVisible(clock) || !IntersectRect(&common, &rect, &screen);
}

bool ClockHides(HWND clock, DWORD milliseconds)
{
    return WaitUntil([&] { return ClockOutOfSight(clock); }, milliseconds);
}

HWND FindMessageBox(const char *caption, DWORD milliseconds)
{
    HWND box = NULL;
    WaitUntil([&] { return (box = FindWindowA("#32770", caption)) != NULL; }, milliseconds);
    return box;
}

std::string MessageBoxText(HWND box)
{
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the message's static control
    return text;
}

void PressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

std::string ReadSetting(const char *section, const char *key)
{
    char value[512];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, App.settings().c_str());
    return value;
}

void WriteSetting(const char *section, const char *key, const char *value)
{
    WritePrivateProfileStringA(section, key, value, App.settings().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, App.settings().c_str());
}

bool SaveScreenshot(const std::string &name)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void *bits = NULL;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + stride * (DWORD)height;
    HANDLE file = CreateFileA(App.file(name.c_str()).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    bool saved = false;
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        saved = WriteFile(file, &header, sizeof header, &written, NULL) &&
                WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, NULL) &&
                WriteFile(file, bits, stride * (DWORD)height, &written, NULL);
        CloseHandle(file);
    }
    SelectObject(memory, previous);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return saved;
}

static LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void KeepHookChainAlive()
{
    SetWindowsHookExA(WH_CALLWNDPROC, PassOn, NULL, GetCurrentThreadId());
}
