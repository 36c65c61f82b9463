// The two functions of TKPCHHK.dll. The program imports them by ordinal
// (SetHook 2, FreeHook 3), so the names below only serve the compiler.
#ifndef TKP_HOOKLIB_H
#define TKP_HOOKLIB_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

BOOL WINAPI SetHook(HWND clockWindow);
BOOL WINAPI FreeHook(void);

#ifdef __cplusplus
}
#endif

#endif
