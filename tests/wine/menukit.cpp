#include "menukit.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include <map>

#include "base/appstate.h"
#include "testkit.h"

static std::map<UINT_PTR, ModalDriver *> &Drivers()
{
    static std::map<UINT_PTR, ModalDriver *> drivers;
    return drivers;
}

ModalDriver::ModalDriver(std::function<bool()> step, DWORD timeoutMs)
    : step_(std::move(step)), start_(GetTickCount()), timeoutMs_(timeoutMs)
{
    timer_ = SetTimer(NULL, 0, 20, Tick);
    Drivers()[timer_] = this;
}

ModalDriver::~ModalDriver()
{
    KillTimer(NULL, timer_);
    Drivers().erase(timer_);
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    auto found = Drivers().find(id);
    if (found != Drivers().end())
        found->second->tick();
}

void ModalDriver::tick()
{
    if (GetTickCount() - start_ > timeoutMs_) {
        // Keep cancelling: a cancelled dialog may make way for a message box.
        if (!done_ || OpenMenuWindow() || !DialogsOwnedBy(NULL).empty())
            timedOut_ = true;
        CancelEverything();
        return;
    }
    if (done_)
        return;
    if (step_())
        done_ = true;
}

std::string WindowClass(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {
struct DialogSearch {
    HWND owner; // NULL: any owner
    std::vector<HWND> found;
};
} // namespace

static BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    DialogSearch *search = (DialogSearch *)param;
    if (GetWindowThreadProcessId(window, NULL) == GetCurrentThreadId() && IsWindowVisible(window) &&
        WindowClass(window) == "#32770" && (!search->owner || GetWindow(window, GW_OWNER) == search->owner))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> DialogsOwnedBy(HWND owner)
{
    DialogSearch search = {owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, (LPARAM)&search);
    return search.found;
}

HWND DialogOwnedBy(HWND owner)
{
    std::vector<HWND> found = DialogsOwnedBy(owner);
    return found.empty() ? NULL : found.front();
}

static BOOL CALLBACK FindMenuWindow(HWND window, LPARAM param)
{
    if (IsWindowVisible(window) && WindowClass(window) == "#32768" &&
        GetWindowThreadProcessId(window, NULL) == GetCurrentThreadId()) {
        *(HWND *)param = window;
        return FALSE;
    }
    return TRUE;
}

HWND OpenMenuWindow()
{
    HWND found = NULL;
    EnumWindows(FindMenuWindow, (LPARAM)&found);
    return found;
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void CloseDialog(HWND dialog)
{
    // The open-file dialog ends on Cancel; the menu dialogs and message
    // boxes of the program end on OK.
    PressButton(dialog, GetDlgItem(dialog, FileNameEdit) ? IDCANCEL : IDOK);
}

void CancelEverything()
{
    if (OpenMenuWindow())
        EndMenu();
    for (HWND dialog : DialogsOwnedBy(NULL))
        CloseDialog(dialog);
}

HDROP MakeDrop(const std::vector<std::string> &names)
{
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string &name : names)
        bytes += name.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    DROPFILES *drop = (DROPFILES *)GlobalLock(block);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char *at = (char *)drop + sizeof(DROPFILES);
    for (const std::string &name : names) {
        memcpy(at, name.c_str(), name.size() + 1);
        at += name.size() + 1;
    }
    *at = '\0';
    GlobalUnlock(block);
    return (HDROP)block;
}

bool TakePosted(HWND window, UINT message, MSG *taken)
{
    MSG local;
    return PeekMessageA(taken ? taken : &local, window, message, message, PM_REMOVE) != 0;
}

bool TakeQuit(int *exitCode)
{
    MSG quit;
    if (!PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (exitCode)
        *exitCode = (int)quit.wParam;
    return true;
}

static std::map<HWND, ClockSpy *> &Spies()
{
    static std::map<HWND, ClockSpy *> spies;
    return spies;
}

ClockSpy::ClockSpy(HWND clock) : clock_(clock)
{
    Spies()[clock] = this;
    original_ = (WNDPROC)SetWindowLongPtr(clock, GWLP_WNDPROC, (LONG_PTR)Proc);
}

ClockSpy::~ClockSpy()
{
    if (IsWindow(clock_))
        SetWindowLongPtr(clock_, GWLP_WNDPROC, (LONG_PTR)original_);
    Spies().erase(clock_);
}

LRESULT CALLBACK ClockSpy::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClockSpy *spy = Spies()[window];
    Seen seen = {message, wParam, 0, std::string(), AppState.ExitRequested, 0};
    if (message == WM_NOTIFY)
        seen.notifyCode = ((NMHDR *)lParam)->code;
    size_t index = spy->seen.size();
    spy->seen.push_back(seen);
    LRESULT result = CallWindowProc(spy->original_, window, message, wParam, lParam);
    // The window may be gone and the spy with it; the record may have grown.
    auto still = Spies().find(window);
    if (still != Spies().end() && index < still->second->seen.size()) {
        Seen &entry = still->second->seen[index];
        entry.result = result;
        if (message == WM_NOTIFY && entry.notifyCode == TTN_NEEDTEXT) {
            const NMTTDISPINFO *info = (const NMTTDISPINFO *)lParam;
            TCHAR text[ARRAYSIZE(info->szText) + 1] = {};
            memcpy(text, info->szText, sizeof info->szText);
            entry.tipText = FromT(text);
        }
    }
    return result;
}

int ClockSpy::count(UINT message) const
{
    int n = 0;
    for (const Seen &entry : seen)
        n += entry.message == message;
    return n;
}

int ClockSpy::countNotify(UINT code) const
{
    int n = 0;
    for (const Seen &entry : seen)
        n += entry.message == WM_NOTIFY && entry.notifyCode == code;
    return n;
}

POINT PointInsideOutline(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    bool shaped = GetWindowRgn(window, outline) != ERROR;
    POINT centre = {client.right / 2, client.bottom / 2};
    POINT found = centre;
    if (shaped && !PtInRegion(outline, centre.x, centre.y)) {
        for (int y = 0; y < client.bottom; y++)
            for (int x = 0; x < client.right; x++)
                if (PtInRegion(outline, x, y)) {
                    found = POINT{x, y};
                    y = client.bottom;
                    break;
                }
    }
    DeleteObject(outline);
    return found;
}

std::string ShortPathOf(const std::string &path)
{
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

std::string PathOfLength(const std::string &folder, size_t length, const char *extension)
{
    std::string path = folder + "\\";
    size_t fill = length - path.size() - strlen(extension);
    return path + std::string(fill, 'n') + extension;
}
