#include "shellseam.h"
#include "testkit.h"

#include <string.h>

std::vector<TrayCall> &TrayCalls()
{
    static std::vector<TrayCall> calls;
    return calls;
}

std::vector<unsigned> IconPixels(HICON icon)
{
    std::vector<unsigned> pixels;
    if (!icon)
        return pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(dc, canvas);
    PatBlt(dc, 0, 0, 16, 16, WHITENESS);
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, NULL, DI_NORMAL);
    GdiFlush();
    pixels.assign((const unsigned *)bits, (const unsigned *)bits + 16 * 16);
    for (unsigned &pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    return pixels;
}

std::vector<unsigned> ClockIconPixels()
{
    HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), "TKPCOV", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    std::vector<unsigned> pixels = IconPixels(icon);
    DestroyIcon(icon);
    return pixels;
}

static BOOL WINAPI RecordTrayCall(DWORD action, PNOTIFYICONDATA record)
{
    typedef BOOL(WINAPI * NotifyProc)(DWORD, PNOTIFYICONDATA);
    static NotifyProc real =
        (NotifyProc)(void *)GetProcAddress(LoadLibraryA("shell32.dll"), TRAY_NOTIFY_NAME);
    TrayCall call = {};
    call.action = action;
    if (record) {
        DWORD size = record->cbSize < sizeof call.record ? record->cbSize : (DWORD)sizeof call.record;
        memcpy(&call.record, record, size);
        call.icon = IconPixels(record->hIcon);
    }
    call.result = real(action, record);
    TrayCalls().push_back(call);
    return call.result;
}

// The program's code calls the shell through this import slot; defining it
// here keeps the import library's slot out of the test program.
extern "C" {
#ifdef UNICODE
extern BOOL(WINAPI *ShellNotifySlot)(DWORD, PNOTIFYICONDATA) TKP_IMPORT_SLOT(Shell_NotifyIconW, 8);
#else
extern BOOL(WINAPI *ShellNotifySlot)(DWORD, PNOTIFYICONDATA) TKP_IMPORT_SLOT(Shell_NotifyIconA, 8);
#endif
BOOL(WINAPI *ShellNotifySlot)(DWORD, PNOTIFYICONDATA) = RecordTrayCall;
}
