#include "allocseam.h"
#include "testkit.h"

static int Failing;
static int Refused;

static HGLOBAL WINAPI TestGlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (Failing) {
        Refused++;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    typedef HGLOBAL(WINAPI * AllocProc)(UINT, SIZE_T);
    static AllocProc real = (AllocProc)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalAlloc");
    return real(flags, bytes);
}

GlobalAllocFails::GlobalAllocFails()
{
    Failing = 1;
    Refused = 0;
}

GlobalAllocFails::~GlobalAllocFails()
{
    Failing = 0;
}

int GlobalAllocFails::refused() const
{
    return Refused;
}

// The program's code calls GlobalAlloc through this import slot; defining
// it here keeps the import library's slot out of the test program.
extern "C" {
extern HGLOBAL(WINAPI *GlobalAllocSlot)(UINT, SIZE_T) TKP_IMPORT_SLOT(GlobalAlloc, 8);
HGLOBAL(WINAPI *GlobalAllocSlot)(UINT, SIZE_T) = TestGlobalAlloc;
}
