// e2e_recorder.exe ADDRESS: stands in for the browser and the mail program
// of the scenarios' prefixes. It writes ADDRESS to opened.txt beside itself
// and ends, without a window or a console that would come to the front.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 2)
        return 2;
    char folder[MAX_PATH];
    GetModuleFileNameA(NULL, folder, MAX_PATH);
    *strrchr(folder, '\\') = '\0';
    std::string target = std::string(folder) + "\\opened.txt", temporary = target + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, __argv[1], (DWORD)strlen(__argv[1]), &written, NULL);
    CloseHandle(file);
    // Whole or not at all: the driver reads it as soon as it is there.
    return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
