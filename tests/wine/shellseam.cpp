#include "shellseam.h"
#include "testkit.h"

#include <string.h>

std::vector<TrayCall> &TrayCalls()
{
    static std::vector<TrayCall> calls;
    return calls;
}

static BOOL WINAPI RecordTrayCall(DWORD action, PNOTIFYICONDATAA record)
{
    typedef BOOL(WINAPI * NotifyProc)(DWORD, PNOTIFYICONDATAA);
    static NotifyProc real =
        (NotifyProc)(void *)GetProcAddress(LoadLibraryA("shell32.dll"), "Shell_NotifyIconA");
    TrayCall call;
    memset(&call, 0, sizeof call);
    call.action = action;
    if (record) {
        DWORD size = record->cbSize < sizeof call.record ? record->cbSize : (DWORD)sizeof call.record;
        memcpy(&call.record, record, size);
    }
    call.result = real(action, record);
    TrayCalls().push_back(call);
    return call.result;
}

// The program's code calls the shell through this import slot; defining it
// here keeps the import library's slot out of the test program.
extern "C" {
extern BOOL(WINAPI *ShellNotifySlot)(DWORD, PNOTIFYICONDATAA) TKP_IMPORT_SLOT(Shell_NotifyIconA, 8);
BOOL(WINAPI *ShellNotifySlot)(DWORD, PNOTIFYICONDATAA) = RecordTrayCall;
}
