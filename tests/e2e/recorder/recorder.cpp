// e2e_recorder.exe ADDRESS: stands in for the browser and the mail program
// of the scenarios' prefixes. It writes ADDRESS to opened.txt beside itself
// and ends, without a window or a console that would come to the front.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "../../common/win32kit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 2)
        return 2;
    char folder[MAX_PATH];
    GetModuleFileNameA(NULL, folder, MAX_PATH);
    *strrchr(folder, '\\') = '\0';
    return WriteFileWhole(std::string(folder) + "\\opened.txt", __argv[1]) ? 0 : 1;
}
