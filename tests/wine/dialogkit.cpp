#include "dialogkit.h"

#include "../common/win32kit.h"
#include "base/appstate.h"
#include "testkit.h"

OpenedDialog::OpenedDialog(const char *templateName, DLGPROC procedure, HWND owner)
{
    window_ = CreateDialogParam(AppState.AppInstance, ToT(templateName).c_str(), owner, procedure, 0);
    if (window_) {
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        UpdateWindow(window_);
        PumpMessages(100);
    }
}

OpenedDialog::~OpenedDialog()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
    PumpMessages(10);
}

WindowPixels ReadWindowPixels(HWND window)
{
    WindowPixels read;
    RECT rect;
    GetWindowRect(window, &rect);
    read.width = rect.right - rect.left;
    read.height = rect.bottom - rect.top;
    HDC windowDc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = TopDown32(read.width, read.height);
    void *bits = NULL;
    HBITMAP surface = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, surface);
    BitBlt(memory, 0, 0, read.width, read.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    read.pixels.assign((unsigned *)bits, (unsigned *)bits + (size_t)read.width * read.height);
    for (unsigned &pixel : read.pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(surface);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return read;
}

unsigned PixelOf(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

static std::string RecordFile()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    return std::string(path) + ".opened.txt";
}

void RecordAddressesOpened()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --record-open \"%1\"";
    for (const char *scheme : {"http", "https", "mailto"})
        SetShellOpenCommand(scheme, command, true);
    ForgetAddressesOpened();
}

void ForgetAddressesOpened()
{
    DeleteFileA(RecordFile().c_str());
}

static std::string ReadRecord()
{
    HANDLE file = CreateFileA(RecordFile().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    char text[1024];
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, NULL);
    CloseHandle(file);
    return std::string(text, read);
}

std::string AddressOpened(DWORD milliseconds)
{
    std::string address;
    PumpUntil([&] { return !(address = ReadRecord()).empty(); }, milliseconds);
    return address;
}

int RecordOpenedAddress(const char *address)
{
    return WriteFileWhole(RecordFile(), address) ? 0 : 1;
}
