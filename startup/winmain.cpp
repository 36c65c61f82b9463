#include <windows.h>

#include "lifecycle.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return RunClock(instance, commandLine);
}
