// The end-to-end driver's toolkit: start the clock, make and move windows
// of our own, find message boxes, and check what the clock does.
#ifndef TKP_TESTS_E2E_E2EKIT_H
#define TKP_TESTS_E2E_E2EKIT_H

#include <windows.h>

#include "../../common/win32kit.h"

#include <functional>
#include <string>
#include <vector>

extern int Failures;
void Report(bool passed, const char *file, int line, const std::string &what);
#define CHECK(condition, what) Report((condition), __FILE__, __LINE__, (what))
std::string Format(const char *format, ...);

// Wine 8 now and then refreshes a thread's bitmap of active hooks without
// the desktop's global hooks (its hook trace then says "skipping hook
// WH_CALLWNDPROC mask 80000000"); the thread skips the clock's hook for its
// messages until the next refresh, and a move goes unreported. A hook of
// the thread's own keeps the bit set, so every sent message starts the
// chain, global hook included.
// Windows has no such cache; this only keeps the driver's windows honest.
void KeepHookChainAlive();

// The folder the scenario's program lives in (the driver's second argument).
struct AppFolder {
    std::string folder;
    std::string program() const { return folder + "\\TkpchOV.exe"; }
    std::string settings() const { return folder + "\\TkpchOV.ini"; }
    std::string file(const char *name) const { return folder + "\\" + name; }
};
extern AppFolder App;

struct ClockProcess {
    PROCESS_INFORMATION info = {};
    DWORD startTick = 0;
    bool start(const std::string &arguments = "");
    bool start(const std::wstring &arguments);
    // Exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitExit(DWORD milliseconds = 10000);
    void kill();
};

// The usual opening of a phase: the first start is past, a framed window
// of ours (100,200, 700 x 400) is in front, and the clock runs on it.
struct PerchedClock {
    ClockProcess process;
    HWND perch = NULL;
    HWND clock = NULL; // the shown clock window, or NULL
};
void StartOnPerch(PerchedClock &run, const std::string &arguments = "");
void StartOnPerch(PerchedClock &run, const std::wstring &arguments);
// The system code page's text as UTF-16, and back (for messages).
std::wstring Widen(const std::string &text);
std::string Narrow(const std::wstring &text);
// Ends the clock through its Exit command and checks it ends with 0.
void ExitAndExpectCleanEnd(ClockProcess &process, HWND clock);

// How long a wait for something that must come may take: a process start
// or a paint on a loaded shared machine can take seconds (20 s, stretched by
// TKP_TIME_SCALE where the programs run emulated). Waits for something that
// must NOT happen name their own, short, spell.
extern const DWORD ComesWithin;

// The clock window of the running clock (class "MAIN", title "Tickperch OV").
HWND FindClock(DWORD milliseconds = ComesWithin);
HWND WaitForShownClock(DWORD milliseconds = ComesWithin);
// Ends the clock as its Exit menu command does.
void ExitClock(HWND clock);

HWND MakePerch(int x, int y, int width, int height, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0);
// A perch given this property ignores minimise commands: it stays on screen.
#define IGNORE_MINIMISE_PROPERTY "TkpIgnoreMinimise"
bool Activate(HWND window);
RECT Rect(HWND window);

// Where the clock's top-left corner belongs on a perch (overlap and rise of the skin).
POINT PerchPoint(HWND perch, int position, int overlap = 50, int rise = 35);
// Waits until the clock is shown with its top-left corner at the point.
bool ClockSettlesAt(HWND clock, POINT point, DWORD milliseconds = ComesWithin);
bool ClockHides(HWND clock, DWORD milliseconds = ComesWithin);
// Hidden, or shown wholly outside the screen: the minimised window that
// stays in the foreground (its taskbar button pressed) lies far off screen,
// and a clock perched on it with it.
bool ClockOutOfSight(HWND clock);

// The first icon of the notification area sits at the taskbar's right end;
// without icons the notification area shows nothing at all.
RECT FirstTrayIconRect();
bool TrayIconShown();

// Message boxes of the clock's process, found by caption (Shift-JIS bytes).
HWND FindMessageBox(const char *caption, DWORD milliseconds = ComesWithin);
std::string MessageBoxText(HWND box);
void PressOk(HWND box);

// What a user's hand does: a click of the given button at a screen point,
// a key pressed and released, a key pressed with Alt held.
void Click(POINT at, DWORD down, DWORD up);
void PressKey(BYTE key);
void PressAltKey(BYTE key);
POINT Middle(const RECT &rect);
// The same until the effect is there: on these shared machines Wine now
// and then loses an input event (a click before a move has settled, a key
// before the foreground has changed, the first click on a window that has
// just been shown), so each is tried up to three times, waiting for its
// effect after each; a retry is logged. True when the effect came.
bool TryUntil(const char *what, const std::function<void()> &input, const std::function<bool()> &done,
              DWORD wait = 2000);
bool ClickUntil(POINT at, DWORD down, DWORD up, const std::function<bool()> &done, DWORD wait = 2000);
bool PressKeyUntil(BYTE key, const std::function<bool()> &done, DWORD wait = 2000);
// The visible popup menu, or NULL when none opens in time.
HWND FindPopupMenu(DWORD milliseconds = 5000);
// Right-clicks the point until a popup menu of the window's thread is shown
// and that thread's menu loop has taken over the input (a click or key
// sent before that lands nowhere); the menu, or NULL.
HWND OpenMenuWithRightClick(POINT at, HWND owner);
// Waits until the window's thread is in the given modes (GUI_INMOVESIZE,
// GUI_POPUPMENUMODE, ...), or, with want false, out of all of them.
bool ThreadInMode(HWND window, DWORD modes, bool want = true, DWORD milliseconds = ComesWithin);

// Saves the whole screen as a BMP file in the program's folder.
bool SaveScreenshot(const std::string &name);

bool WriteBytes(const std::string &path, const std::vector<unsigned char> &bytes);
bool WriteBytes(const std::wstring &path, const std::vector<unsigned char> &bytes);

std::string ReadSetting(const char *section, const char *key);
void WriteSetting(const char *section, const char *key, const char *value);


// Screen pixels of a rectangle, top row first, as 0x00RRGGBB.
std::vector<unsigned> CaptureScreen(const RECT &area);

// What the clock's face shows on screen, read back from the pixels by
// matching the program's own digit bitmaps; -1 for a blank place.
struct FaceReading {
    int hourTens = -1, hourOnes = -1, minuteTens = -1, minuteOnes = -1, secondTens = -1, secondOnes = -1;
    bool read = false; // every place that must hold a digit holds one
    int seconds() const { return secondTens * 10 + secondOnes; }
};
FaceReading ReadFace(HWND clock, int faceLeft = 5, int faceTop = 11);
// Waits until the face (built-in skin) has shown the given number of new
// seconds. A tick's paint comes only when the clock's queue holds no posted
// message, so after one everything posted to it before has been handled.
bool ClockTicks(HWND clock, int ticks = 1);

#endif
