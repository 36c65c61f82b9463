#include "e2ekit.h"

#include <stdarg.h>
#include <stdlib.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "../../../skin/facelayout.h"

int Failures;
AppFolder App;

static DWORD TimeScale()
{
    char value[16];
    DWORD length = GetEnvironmentVariableA("TKP_TIME_SCALE", value, sizeof value);
    int scale = length > 0 && length < sizeof value ? atoi(value) : 0;
    return scale > 0 ? (DWORD)scale : 1;
}
const DWORD ComesWithin = 20000 * TimeScale();

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

bool ClockProcess::start(const std::string &arguments)
{
    return start(Widen(arguments));
}

bool ClockProcess::start(const std::wstring &arguments)
{
    std::wstring program = Widen(App.program());
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startTick = GetTickCount();
    return CreateProcessW(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, Widen(App.folder).c_str(),
                          &startup, &info) != 0;
}

std::string Narrow(const std::wstring &text)
{
    std::string bytes(text.size() * 2 + 1, '\0');
    int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &bytes[0], (int)bytes.size(), NULL, NULL);
    bytes.resize(length > 0 ? (size_t)length - 1 : 0);
    return bytes;
}

std::wstring Widen(const std::string &text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? (size_t)length - 1 : 0);
    return wide;
}

DWORD ClockProcess::waitExit(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > milliseconds)
            return STILL_ACTIVE;
        PumpMessages(10);
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
    PumpUntil([&] { return (clock = FindWindowA("MAIN", "Tickperch OV")) != NULL; }, milliseconds);
    return clock;
}

HWND WaitForShownClock(DWORD milliseconds)
{
    HWND clock = NULL;
    PumpUntil([&] {
        clock = FindWindowA("MAIN", "Tickperch OV");
        return clock && IsWindowVisible(clock);
    }, milliseconds);
    return clock;
}

void ExitClock(HWND clock)
{
    PostMessageA(clock, WM_COMMAND, 40001, 0); // the menu's Exit
}

void StartOnPerch(PerchedClock &run, const std::string &arguments)
{
    StartOnPerch(run, Widen(arguments));
}

void StartOnPerch(PerchedClock &run, const std::wstring &arguments)
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    run.perch = MakePerch(100, 200, 700, 400);
    Activate(run.perch);
    CHECK(run.process.start(arguments), "the clock starts");
    run.clock = WaitForShownClock();
}

void ExitAndExpectCleanEnd(ClockProcess &process, HWND clock)
{
    ExitClock(clock);
    DWORD code = process.waitExit();
    CHECK(code == 0, Format("the clock ends with exit code 0 (got %lu)", code));
}

static LRESULT CALLBACK PerchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE && GetPropA(window, IGNORE_MINIMISE_PROPERTY))
        return 0;
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
    PumpMessages(20);
    return window;
}

bool Activate(HWND window)
{
    SetForegroundWindow(window);
    return PumpUntil([&] { return GetForegroundWindow() == window; }, 3000);
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
    return PumpUntil([&] {
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
    return PumpUntil([&] { return ClockOutOfSight(clock); }, milliseconds);
}

RECT FirstTrayIconRect()
{
    RECT bar = Rect(FindWindowA("Shell_TrayWnd", NULL));
    int iconWidth = GetSystemMetrics(SM_CXSMICON) + 4, iconHeight = GetSystemMetrics(SM_CYSMICON) + 4;
    int top = bar.top + (bar.bottom - bar.top - iconHeight) / 2;
    return RECT{bar.right - iconWidth, top, bar.right, top + iconHeight};
}

bool TrayIconShown()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    if (!taskbar || !IsWindowVisible(taskbar))
        return false;
    std::vector<unsigned> pixels = CaptureScreen(FirstTrayIconRect());
    return std::count(pixels.begin(), pixels.end(), pixels[0]) != (long)pixels.size();
}

HWND FindMessageBox(const char *caption, DWORD milliseconds)
{
    HWND box = NULL;
    PumpUntil([&] { return (box = FindWindowA("#32770", caption)) != NULL; }, milliseconds);
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

bool WriteBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    return WriteBytes(Widen(path), bytes);
}

bool WriteBytes(const std::wstring &path, const std::vector<unsigned char> &bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
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

void Click(POINT at, DWORD down, DWORD up)
{
    SetCursorPos(at.x, at.y);
    PumpMessages(80);
    mouse_event(down, 0, 0, 0, 0);
    PumpMessages(60);
    mouse_event(up, 0, 0, 0, 0);
    PumpMessages(60);
}

void PressKey(BYTE key)
{
    keybd_event(key, 0, 0, 0);
    PumpMessages(30);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    PumpMessages(30);
}

void PressAltKey(BYTE key)
{
    keybd_event(VK_MENU, 0, 0, 0);
    PumpMessages(30);
    PressKey(key);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    PumpMessages(30);
}

bool TryUntil(const char *what, const std::function<void()> &input, const std::function<bool()> &done, DWORD wait)
{
    for (int attempt = 0; attempt < 3; attempt++) {
        if (attempt > 0) {
            printf("retry: %s had no effect within %lu ms, input again (%d of 2)\n", what, wait, attempt);
            fflush(stdout);
        }
        input();
        if (PumpUntil(done, wait))
            return true;
    }
    return false;
}

bool ClickUntil(POINT at, DWORD down, DWORD up, const std::function<bool()> &done, DWORD wait)
{
    std::string what = Format("a click at %ld,%ld", at.x, at.y);
    return TryUntil(what.c_str(), [&] { Click(at, down, up); }, done, wait);
}

bool PressKeyUntil(BYTE key, const std::function<bool()> &done, DWORD wait)
{
    std::string what = Format("key 0x%02x", key);
    return TryUntil(what.c_str(), [&] { PressKey(key); }, done, wait);
}

bool ThreadInMode(HWND window, DWORD modes, bool want, DWORD milliseconds)
{
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    return PumpUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && ((info.flags & modes) != 0) == want;
    }, milliseconds);
}

HWND OpenMenuWithRightClick(POINT at, HWND owner)
{
    // The right click makes the owner the foreground window, and the menu's
    // keys go to it. Under load its activation can be lost while the menu
    // opens: then the menu is closed (WM_CANCELMODE ends the owner's menu)
    // and opened again.
    HWND menu = NULL;
    bool inFront = TryUntil("a menu in front", [&] {
        if (FindPopupMenu(0)) {
            PostMessageA(owner, WM_CANCELMODE, 0, 0);
            PumpUntil([] { return FindPopupMenu(0) == NULL; }, ComesWithin);
        }
        ClickUntil(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, [&] { return (menu = FindPopupMenu(0)) != NULL; });
    }, [&] { return menu && GetForegroundWindow() == owner && ThreadInMode(owner, GUI_POPUPMENUMODE | GUI_INMENUMODE, true, 0); });
    return inFront ? menu : NULL;
}

POINT Middle(const RECT &rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND FindPopupMenu(DWORD milliseconds)
{
    HWND menu = NULL;
    PumpUntil([&] {
        menu = FindWindowA("#32768", NULL);
        return menu && IsWindowVisible(menu);
    }, milliseconds);
    return menu && IsWindowVisible(menu) ? menu : NULL;
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

// Screen pixels of a rectangle, top row first, as 0x00RRGGBB.
std::vector<unsigned> CaptureScreen(const RECT &area)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<unsigned> pixels((size_t)width * height);
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = TopDown32(width, height);
    void *bits = NULL;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size() * 4);
    for (unsigned &pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

// The ten digit bitmaps as masks (true where the figure is drawn), taken
// from the program file itself.
static const std::vector<std::vector<bool>> &DigitMasks()
{
    static std::vector<std::vector<bool>> masks;
    if (!masks.empty())
        return masks;
    HMODULE program = LoadLibraryExA(App.program().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    for (int digit = 0; digit < 10; digit++) {
        std::vector<bool> mask(9 * 18, false);
        HBITMAP bitmap = (HBITMAP)LoadImageA(program, Format("NO%d", digit).c_str(), IMAGE_BITMAP, 0, 0,
                                             LR_CREATEDIBSECTION);
        if (bitmap) {
            std::vector<unsigned> pixels(9 * 18);
            BITMAPINFO info = TopDown32(9, 18);
            HDC screen = GetDC(NULL);
            GetDIBits(screen, bitmap, 0, 18, pixels.data(), &info, DIB_RGB_COLORS);
            ReleaseDC(NULL, screen);
            for (size_t i = 0; i < pixels.size(); i++)
                mask[i] = (pixels[i] & 0xFFFFFF) != 0xFFFFFF;
            DeleteObject(bitmap);
        }
        masks.push_back(mask);
    }
    if (program)
        FreeLibrary(program);
    return masks;
}

// The digit drawn at (x, y) of the captured face, or -1.
static int DigitAt(const std::vector<unsigned> &pixels, int width, int height, int x, int y)
{
    for (int digit = 0; digit < 10; digit++) {
        const std::vector<bool> &mask = DigitMasks()[digit];
        bool matches = true;
        for (int dy = 0; dy < 18 && matches; dy++)
            for (int dx = 0; dx < 9 && matches; dx++) {
                int px = x + dx, py = y + dy;
                if (px < 0 || py < 0 || px >= width || py >= height)
                    return -1;
                bool dark = pixels[(size_t)py * width + px] == 0; // the figures are pure black
                matches = dark == mask[dy * 9 + dx];
            }
        if (matches)
            return digit;
    }
    return -1;
}

FaceReading ReadFace(HWND clock, int faceLeft, int faceTop)
{
    // Only the part on the screen can be read (Wine copies nothing from
    // beyond it); the face is placed from the clock's own corner.
    RECT clockRect = Rect(clock), screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT area;
    IntersectRect(&area, &clockRect, &screen);
    int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<unsigned> pixels = CaptureScreen(area);
    FaceReading face;
    faceLeft += clockRect.left - area.left;
    faceTop += clockRect.top - area.top;
    int *digits[FACE_DIGIT_COUNT] = {&face.hourTens,   &face.hourOnes,   &face.minuteTens,
                                     &face.minuteOnes, &face.secondTens, &face.secondOnes};
    for (int i = 0; i < FACE_DIGIT_COUNT; i++)
        *digits[i] = DigitAt(pixels, width, height, faceLeft + FaceDigitX[i], faceTop + FACE_DIGIT_Y);
    face.read = face.hourOnes >= 0 && face.minuteTens >= 0 && face.minuteOnes >= 0 && face.secondTens >= 0 &&
                face.secondOnes >= 0;
    return face;
}

bool ClockTicks(HWND clock, int ticks)
{
    int last = -1;
    return PumpUntil([&] {
        FaceReading face = ReadFace(clock);
        if (face.read && last >= 0 && face.seconds() != last)
            ticks--;
        if (face.read)
            last = face.seconds();
        return ticks == 0;
    }, ComesWithin);
}
