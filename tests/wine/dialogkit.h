// Helpers for the dialog tests: the program's dialogs opened modeless (so a
// test can look at them between messages), window pixels, and what the
// shell was asked to open.
#ifndef TKP_TESTS_WINE_DIALOGKIT_H
#define TKP_TESTS_WINE_DIALOGKIT_H

#include <windows.h>

#include <string>
#include <vector>

// A dialog of the program's resources with the program's procedure, shown
// and painted; destroyed with the object.
class OpenedDialog {
public:
    OpenedDialog(const char *templateName, DLGPROC procedure, HWND owner = NULL);
    ~OpenedDialog();
    HWND window() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }

private:
    HWND window_;
};

// The whole window's pixels (frame included) as 0x00RRGGBB, top row first.
struct WindowPixels {
    int width = 0, height = 0;
    std::vector<unsigned> pixels;
    unsigned at(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
WindowPixels ReadWindowPixels(HWND window);

// COLORREF (0x00BBGGRR) as a pixel (0x00RRGGBB).
unsigned PixelOf(COLORREF colour);

// Web and mail addresses handed to the shell are written to a file by this
// test program (run as "--record-open ADDRESS") instead of a browser.
void RecordAddressesOpened();
void ForgetAddressesOpened();
// The last address opened, waiting up to the given time for it.
std::string AddressOpened(DWORD milliseconds = 8000);
int RecordOpenedAddress(const char *address);

#endif
