#include <windows.h>

#include <tchar.h>

#include "lifecycle.h"

// WinMain in the ANSI edition, wWinMain in the Unicode one.
int WINAPI _tWinMain(HINSTANCE instance, HINSTANCE, LPTSTR commandLine, int)
{
    return RunClock(instance, commandLine);
}
