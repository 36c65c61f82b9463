// Putting a skin in force: from a data file, or the built-in one.
#ifndef TKP_SKIN_SKINLOAD_H
#define TKP_SKIN_SKINLOAD_H

#include <windows.h>

int LoadSkinFile(HWND window, const char *path);
// Puts the file's skin in force and gives its outline (NULL: a plain
// rectangle), which the caller hands to the window.
int ReadSkinFile(HWND window, const char *path, HRGN *outline);
int UseBuiltInSkin(HWND window);

#endif
