// The hook library: which sent messages become which posted messages, and
// how SetHook and FreeHook treat the shared record.
#include <windows.h>

#include <gtest/gtest.h>
#include <string.h>

#include "common/dockmsg.h"
#include "hooklib/hooklib.h"
#include "testkit.h"

namespace {

// A window that only collects what the hook posts to it.
struct Receiver {
    HWND window;
    Receiver() { window = CreateWindowExA(0, "STATIC", "receiver", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL); }
    ~Receiver()
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    void drain()
    {
        MSG message;
        while (PeekMessageA(&message, window, WM_DOCK_UPDATE, WM_DOCK_SYSCLOSE, PM_REMOVE)) {
        }
    }
    // Waits for a posted message of the given kind (and wParam, unless any).
    bool waitFor(UINT kind, WPARAM wParam, bool anyWParam = false, DWORD milliseconds = 3000)
    {
        DWORD start = GetTickCount();
        do {
            MSG message;
            while (PeekMessageA(&message, window, WM_DOCK_UPDATE, WM_DOCK_SYSCLOSE, PM_REMOVE)) {
                if (message.message == kind && (anyWParam || message.wParam == wParam)) {
                    EXPECT_EQ(message.lParam, 0);
                    return true;
                }
            }
            PumpMessages(5);
        } while (GetTickCount() - start < milliseconds);
        return false;
    }
    bool receivesNothing(UINT kind, DWORD milliseconds = 300)
    {
        DWORD start = GetTickCount();
        do {
            MSG message;
            while (PeekMessageA(&message, window, WM_DOCK_UPDATE, WM_DOCK_SYSCLOSE, PM_REMOVE))
                if (message.message == kind)
                    return false;
            PumpMessages(5);
        } while (GetTickCount() - start < milliseconds);
        return true;
    }
};

// Moves a throwaway window until the hook reports a move of it to this
// receiver (true), or for the whole time (false).
bool MovesReach(Receiver &receiver, int attempts)
{
    HWND probe = MakeTestWindow(10, 10, 100, 80);
    bool reached = false;
    for (int attempt = 0; attempt < attempts && !reached; attempt++) {
        MoveWindow(probe, 10 + attempt, 10, 100, 80, FALSE);
        reached = receiver.waitFor(WM_DOCK_UPDATE, (WPARAM)probe, false, 100);
    }
    DestroyWindow(probe);
    receiver.drain();
    return reached;
}

bool HookReaches(Receiver &receiver)
{
    return MovesReach(receiver, 40);
}

// After FreeHook: no hook of ours is left to report anything.
bool NoHookLeft(Receiver &receiver)
{
    return !MovesReach(receiver, 5);
}

// A window whose procedure does nothing, so that every message the hook
// reports for it is one the test sent.
LRESULT CALLBACK SilentProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_NCCREATE;
}

HWND MakeSilentWindow()
{
    static ATOM registered;
    if (!registered) {
        WNDCLASSA description = {};
        description.lpfnWndProc = SilentProc;
        description.hInstance = GetModuleHandleA(NULL);
        description.lpszClassName = "TkpSilent";
        registered = RegisterClassA(&description);
    }
    return CreateWindowExA(0, "TkpSilent", NULL, WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

} // namespace

TEST(Hook, EachObservedMessageBecomesItsDockMessage)
{
    Receiver receiver;
    ASSERT_EQ(SetHook(receiver.window), TRUE);
    ASSERT_TRUE(HookReaches(receiver));
    HWND target = MakeSilentWindow();
    ASSERT_TRUE(target != NULL);

    const UINT none = 0;
    struct {
        UINT sent;
        WPARAM wParam;
        UINT posted; // none: nothing
        const char *what;
    } table[] = {
        {WM_CREATE, 0, WM_DOCK_UPDATE, "WM_CREATE"},
        {WM_MOVE, 0, WM_DOCK_UPDATE, "WM_MOVE"},
        {WM_SIZE, 0, WM_DOCK_UPDATE, "WM_SIZE"},
        {WM_ACTIVATE, WA_ACTIVE, WM_DOCK_UPDATE, "WM_ACTIVATE"},
        {WM_SHOWWINDOW, TRUE, WM_DOCK_UPDATE, "WM_SHOWWINDOW"},
        {WM_ACTIVATEAPP, TRUE, WM_DOCK_UPDATE, "WM_ACTIVATEAPP"},
        {WM_DESTROY, 0, WM_DOCK_DESTROYED, "WM_DESTROY"},
        {WM_SYSCOMMAND, SC_MINIMIZE, WM_DOCK_SYSCLOSE, "SC_MINIMIZE"},
        {WM_SYSCOMMAND, SC_CLOSE, WM_DOCK_SYSCLOSE, "SC_CLOSE"},
        // Whole values only: a command with any of its low four bits set is
        // not a plain minimise or close.
        {WM_SYSCOMMAND, SC_MINIMIZE | 1, none, "SC_MINIMIZE | 1"},
        {WM_SYSCOMMAND, SC_CLOSE | 2, none, "SC_CLOSE | 2"},
        {WM_SYSCOMMAND, SC_MAXIMIZE, none, "SC_MAXIMIZE"},
        {WM_WINDOWPOSCHANGED, 0, none, "WM_WINDOWPOSCHANGED"},
        {WM_SETTEXT, 0, none, "WM_SETTEXT"},
        {WM_NULL, 0, none, "WM_NULL"},
    };
    for (const auto &row : table) {
        receiver.drain();
        WINDOWPOS position = {};
        SendMessageA(target, row.sent, row.wParam, row.sent == WM_WINDOWPOSCHANGED ? (LPARAM)&position : 0);
        WPARAM reported = row.posted == WM_DOCK_UPDATE ? (WPARAM)target : 0;
        EXPECT_TRUE(row.posted == none || receiver.waitFor(row.posted, reported)) << row.what;
        // Updates can come from any window of the desktop; only the
        // target's own count here.
        EXPECT_FALSE(receiver.waitFor(WM_DOCK_UPDATE, (WPARAM)target, false, 150)) << row.what << ": one post at most";
        EXPECT_TRUE(row.posted == WM_DOCK_DESTROYED || receiver.receivesNothing(WM_DOCK_DESTROYED, 50)) << row.what;
        EXPECT_TRUE(row.posted == WM_DOCK_SYSCLOSE || receiver.receivesNothing(WM_DOCK_SYSCLOSE, 50)) << row.what;
    }
    DestroyWindow(target);
    FreeHook();
    EXPECT_TRUE(NoHookLeft(receiver));
}

TEST(Hook, SecondSetHookChangesNothingWhileTheFirstClockLives)
{
    Receiver first, second;
    SetHook(first.window);
    ASSERT_TRUE(HookReaches(first));
    EXPECT_EQ(SetHook(second.window), TRUE);
    EXPECT_TRUE(HookReaches(first));
    EXPECT_TRUE(second.receivesNothing(WM_DOCK_UPDATE, 100));
    EXPECT_EQ(FreeHook(), TRUE);
    EXPECT_EQ(FreeHook(), TRUE); // with no hook: harmless

    // After FreeHook a new SetHook stores the new window.
    SetHook(second.window);
    EXPECT_TRUE(HookReaches(second));
    FreeHook();
    EXPECT_TRUE(NoHookLeft(second));
}

namespace {

// The library's shared record as this process maps it, read from its
// section "shared": the hook handle, then the clock window.
struct SharedRecord {
    HHOOK hook;
    HWND clock;
};

const volatile SharedRecord *MappedSharedRecord()
{
    BYTE *base = (BYTE *)GetModuleHandleA("TKPCHHK.dll");
    if (!base)
        return NULL;
    IMAGE_NT_HEADERS *headers = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(headers);
    for (int i = 0; i < headers->FileHeader.NumberOfSections; i++, section++)
        if (memcmp(section->Name, "shared\0", 7) == 0)
            return (const volatile SharedRecord *)(base + section->VirtualAddress);
    return NULL;
}

} // namespace

TEST(Hook, RecordOfAClockThatIsGoneIsReplaced)
{
    const volatile SharedRecord *shared = MappedSharedRecord();
    ASSERT_TRUE(shared != NULL);

    // A clock killed without FreeHook leaves its record behind, naming a
    // window that is gone.
    Receiver *dead = new Receiver;
    SetHook(dead->window);
    ASSERT_TRUE(HookReaches(*dead));
    EXPECT_EQ(shared->clock, dead->window);
    HHOOK leftBehind = shared->hook;
    ASSERT_TRUE(leftBehind != NULL);
    delete dead;

    Receiver restarted;
    SetHook(restarted.window);
    EXPECT_TRUE(HookReaches(restarted));
    EXPECT_EQ(shared->clock, restarted.window);
    EXPECT_NE(shared->hook, leftBehind);
    FreeHook();
    // The dead clock's hook is this process's own: the test removes it.
    EXPECT_TRUE(UnhookWindowsHookEx(leftBehind));
    EXPECT_TRUE(NoHookLeft(restarted));
}
