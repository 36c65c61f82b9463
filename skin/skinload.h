// Putting a skin in force: from a data file, or the built-in one.
#ifndef TKP_SKIN_SKINLOAD_H
#define TKP_SKIN_SKINLOAD_H

#include <windows.h>

// Puts the file's skin in force and fits the window to it; on failure the
// skin in force stays (a file that is no skin is refused with a message).
int LoadSkinFile(HWND window, const TCHAR *path);
int UseBuiltInSkin(HWND window);

#endif
