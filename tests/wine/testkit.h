// Helpers for the tests that run the program's code against real Win32.
#ifndef TKP_TESTS_WINE_TESTKIT_H
#define TKP_TESTS_WINE_TESTKIT_H

#include <windows.h>

#include "../common/win32kit.h"

#include <string>
#include <vector>

// A system function's import slot as the linker names it, for the seams that
// take its place: the i686 slot carries the stdcall decoration (bytes of
// arguments), the x64 one does not. A wrong name links and hooks nothing.
#ifdef _WIN64
#define TKP_IMPORT_SLOT(name, bytes) __asm__("__imp_" #name)
#else
#define TKP_IMPORT_SLOT(name, bytes) __asm__("__imp__" #name "@" #bytes)
#endif

// The program's own strings are TCHAR (wide in the Unicode edition); the
// tests speak the system code page's bytes, as their literals are.
typedef std::basic_string<TCHAR> TString;
TString ToT(const std::string &text);
std::string FromT(const TCHAR *text);

// A fresh folder under the temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "\\" + name; }
    void write(const std::string &name, const std::vector<unsigned char> &bytes) const;
    void write(const std::string &name, const std::string &text) const;

private:
    std::string path_;
};

std::string ReadIniString(const std::string &file, const char *section, const char *key);


// A visible framed top-level window of our own ("perch" windows).
HWND MakeTestWindow(int x, int y, int width, int height, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0);
void MakeForeground(HWND window);

// Resets the program's state and creates the clock windows as start-up
// does, with the built-in skin in force; destroys them afterwards.
class ClockTestWindows {
public:
    explicit ClockTestWindows(bool withSkin = true);
    ~ClockTestWindows();
    HWND clock() const;
};

RECT WindowRect(HWND window);

// How many more GDI objects this process can make: the system's table of
// them is finite, so every object left behind is room lost. (GetGuiResources
// counts nothing under Wine.)
int GdiRoom();

// A message box as it was shown: its owner window and its icon as the
// MB_ICON... style that shows it (0 for none).
struct SeenBox {
    std::string caption, text;
    HWND owner;
    UINT icon;
};

// Answers the message boxes that the code under test shows (from a thread
// of its own, since a box runs its own modal loop) and keeps what they showed.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    // "caption|text" of every box answered so far.
    std::vector<std::string> seen();
    // Every box answered so far, whole.
    std::vector<SeenBox> details();
    void clear();

private:
    static DWORD WINAPI Watch(void *self);
    HANDLE thread_;
    volatile LONG stop_;
    CRITICAL_SECTION lock_;
    std::vector<SeenBox> seen_;
};

// Runs this test program again as "hold" process that opens the file with
// no sharing until the returned process is ended with ReleaseFile.
HANDLE HoldFileInOtherProcess(const std::string &path);
void ReleaseFile(HANDLE holder);

#endif
