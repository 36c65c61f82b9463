// Helpers for the tests of the clock's menu, dialogs, drops, tray icon and
// tooltip: driving nested modal loops, finding their windows, building
// dropped-file records and watching what the clock window receives.
#ifndef TKP_TESTS_WINE_MENUKIT_H
#define TKP_TESTS_WINE_MENUKIT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Calls a step from a timer of this thread while the code under test runs a
// nested modal loop (popup menu, dialog, open-file dialog, message box).
// The step may be entered again from a loop it starts itself; it returns
// true when its work is done. When it is not done in time, every menu and
// dialog of this thread is cancelled, so that a test fails instead of
// hanging.
class ModalDriver {
public:
    explicit ModalDriver(std::function<bool()> step, DWORD timeoutMs = 8000);
    ~ModalDriver();
    bool done() const { return done_; }
    bool timedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void tick();
    std::function<bool()> step_;
    DWORD start_;
    DWORD timeoutMs_;
    UINT_PTR timer_;
    bool done_ = false;
    bool timedOut_ = false;
};

// Visible dialog boxes ("#32770") of this thread owned by the window.
std::vector<HWND> DialogsOwnedBy(HWND owner);
HWND DialogOwnedBy(HWND owner);
// The visible popup-menu window ("#32768") of this thread, or NULL.
HWND OpenMenuWindow();
// Presses a dialog button the way a click does (posted: the dialog decides
// in its own loop).
void PressButton(HWND dialog, int id);
// The edit control that holds the typed name in the Explorer-style
// open-file dialog.
enum { FileNameEdit = 1152, FileTypeCombo = 1136 };
// Ends a dialog or message box the way its user would.
void CloseDialog(HWND dialog);
// Cancels every menu and dialog of this thread.
void CancelEverything();

std::string WindowClass(HWND window);
std::string WindowText(HWND window);

// A dropped-file record as the shell makes it: ANSI names after the header,
// each NUL-terminated, the list ended by one more NUL. The receiver frees it.
HDROP MakeDrop(const std::vector<std::string> &names);

// Takes a posted message for the window off the queue; false when none.
bool TakePosted(HWND window, UINT message, MSG *taken = nullptr);
// Takes the quit request off the queue; false when none is pending.
bool TakeQuit(int *exitCode = nullptr);

// Records what the clock window procedure is handed, by subclassing the
// window; the original procedure still does the work.
class ClockSpy {
public:
    struct Seen {
        UINT message;
        WPARAM wParam;
        UINT notifyCode;       // WM_NOTIFY: the header's code
        std::string tipText;   // TTN_NEEDTEXT: szText after the clock answered
        int exitRequested;     // AppState.ExitRequested when the message arrived
        LRESULT result;
    };
    explicit ClockSpy(HWND clock);
    ~ClockSpy();
    std::vector<Seen> seen;
    int count(UINT message) const;
    int countNotify(UINT code) const;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND clock_;
    WNDPROC original_;
};

// A point of the window, in client coordinates, inside its outline.
POINT PointInsideOutline(HWND window);

// The path of the file in its 8.3 form (different from the long one when a
// component has a long name).
std::string ShortPathOf(const std::string &path);

// A file name that makes the full path exactly `length` characters long.
std::string PathOfLength(const std::string &folder, size_t length, const char *extension = ".qve");

#endif
