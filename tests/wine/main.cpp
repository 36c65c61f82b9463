// The Win32 test program: the program's own code linked in, run under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "base/appstate.h"
#include "dialogkit.h"

// "--hold-file PATH": keeps PATH open without sharing until killed, as
// another program editing a skin would.
static int HoldFile(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::string eventName = "tkp-holding-" + std::to_string(GetCurrentProcessId());
    CreateEventA(NULL, TRUE, TRUE, eventName.c_str());
    Sleep(INFINITE);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--hold-file") == 0)
        return HoldFile(argv[2]);
    if (argc == 3 && strcmp(argv[1], "--record-open") == 0)
        return RecordOpenedAddress(argv[2]);
    AppState.AppInstance = GetModuleHandleA(NULL);
    InitCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
