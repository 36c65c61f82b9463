// The hook library: which sent messages become which posted messages, and
// how SetHook and FreeHook treat the shared record.
#include <windows.h>

#include <gtest/gtest.h>

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

// Waits until the hook reports a move of a throwaway window to this receiver.
bool HookReaches(Receiver &receiver)
{
    HWND probe = MakeTestWindow(10, 10, 100, 80);
    bool reached = false;
    for (int attempt = 0; attempt < 40 && !reached; attempt++) {
        MoveWindow(probe, 10 + attempt, 10, 100, 80, FALSE);
        reached = receiver.waitFor(WM_DOCK_UPDATE, (WPARAM)probe, false, 100);
    }
    DestroyWindow(probe);
    receiver.drain();
    return reached;
}

} // namespace

TEST(Hook, EventsBecomeDockMessages)
{
    Receiver receiver;
    ASSERT_EQ(SetHook(receiver.window), TRUE);
    ASSERT_TRUE(HookReaches(receiver));

    HWND window = MakeTestWindow(50, 50, 200, 150);
    EXPECT_TRUE(receiver.waitFor(WM_DOCK_UPDATE, (WPARAM)window)) << "creation, showing";
    receiver.drain();
    MoveWindow(window, 60, 60, 200, 150, TRUE);
    EXPECT_TRUE(receiver.waitFor(WM_DOCK_UPDATE, (WPARAM)window)) << "move";
    receiver.drain();
    SetWindowPos(window, NULL, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(receiver.waitFor(WM_DOCK_UPDATE, (WPARAM)window)) << "size";

    // Minimise and close commands are reported as whole values only.
    receiver.drain();
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE | 1, 0);
    EXPECT_TRUE(receiver.receivesNothing(WM_DOCK_SYSCLOSE));
    SendMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(receiver.receivesNothing(WM_DOCK_SYSCLOSE));
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(receiver.waitFor(WM_DOCK_SYSCLOSE, 0));
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); // closes and destroys it
    EXPECT_TRUE(receiver.waitFor(WM_DOCK_SYSCLOSE, 0));
    EXPECT_TRUE(receiver.waitFor(WM_DOCK_DESTROYED, 0));
    EXPECT_FALSE(IsWindow(window));
    FreeHook();
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
}

TEST(Hook, RecordOfAClockThatIsGoneIsReplaced)
{
    // A clock killed without FreeHook leaves its record behind.
    Receiver *dead = new Receiver;
    SetHook(dead->window);
    ASSERT_TRUE(HookReaches(*dead));
    delete dead;

    Receiver restarted;
    SetHook(restarted.window);
    EXPECT_TRUE(HookReaches(restarted));
    FreeHook();
}
