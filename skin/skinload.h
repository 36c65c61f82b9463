// Putting a skin in force: from a data file, or the built-in one.
#ifndef TKP_SKIN_SKINLOAD_H
#define TKP_SKIN_SKINLOAD_H

#include <windows.h>

int LoadSkinFile(HWND window, const char *path);
int ReadSkinFile(HWND window, const char *path);
int UseBuiltInSkin(HWND window);

#endif
