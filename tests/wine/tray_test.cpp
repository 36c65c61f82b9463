// The notification-area icon against the taskbar of the test desktop. The
// shell's icon list can't be read from another process under Wine, so the
// shell's answers tell whether an icon is there: adding one that is there,
// or deleting or modifying one that isn't, fails. The records handed to the
// shell are seen through the test program's own entry for Shell_NotifyIcon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/appstate.h"
#include "base/helpers.h"
#include "clockwin/clockwin.h"
#include "clockwin/tray.h"
#include "shellseam.h"
#include "testkit.h"

namespace {

bool IconIsAlive(HICON icon)
{
    ICONINFO info;
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

class Tray : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();

    void SetUp() override
    {
        ASSERT_TRUE(FindWindowA("Shell_TrayWnd", NULL)) << "the desktop has no taskbar";
    }
    ~Tray() override
    {
        // No icon of ours outlives the test.
        NotifyTrayIcon(clock, NIM_DELETE, TRAY_ICON_ID, NULL, NULL, 0);
    }
    HICON freshIcon()
    {
        HICON icon = LoadSmallIcon(AppState.AppInstance, TEXT("TKPCOV"));
        EXPECT_TRUE(icon != NULL);
        EXPECT_TRUE(IconIsAlive(icon));
        return icon;
    }
    // The shell call the last change made, if it made one.
    TrayCall handedOver = {};

    // Calls ChangeTrayIcon with a fresh icon and checks that it was consumed
    // and what the shell was handed: one call for a known operation, with
    // the record every operation fills alike, and none for another.
    BOOL change(int operation, const TCHAR *tip = TRAY_TIP)
    {
        HICON icon = freshIcon();
        size_t before = TrayCalls().size();
        BOOL result = ChangeTrayIcon(clock, operation, TRAY_ICON_ID, icon, tip, WM_TRAY_NOTIFY);
        EXPECT_FALSE(IconIsAlive(icon)) << "operation " << operation << " left the icon handle alive";
        EXPECT_FALSE(DestroyIcon(icon)) << "operation " << operation;

        const DWORD actions[] = {NIM_ADD, NIM_DELETE, NIM_MODIFY};
        bool known = operation >= TRAY_ADD && operation <= TRAY_MODIFY;
        EXPECT_EQ(TrayCalls().size(), before + (known ? 1 : 0)) << "operation " << operation;
        if (!known || TrayCalls().size() != before + 1)
            return result;
        handedOver = TrayCalls().back();
        const NOTIFYICONDATA &record = handedOver.record;
        EXPECT_EQ(handedOver.action, actions[operation]);
        EXPECT_EQ(handedOver.result, result) << "the shell's answer is returned";
        EXPECT_EQ(record.cbSize, (DWORD)NOTIFYICONDATA_V1_SIZE);
        EXPECT_EQ(record.hWnd, clock);
        EXPECT_EQ(record.uID, (UINT)TRAY_ICON_ID);
        EXPECT_EQ(record.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP)) << "for every operation";
        EXPECT_EQ(record.hIcon, icon);
        if (operation == TRAY_DELETE) {
            EXPECT_EQ(record.uCallbackMessage, 0u) << "delete passes no callback message";
            EXPECT_EQ(FromT(record.szTip), "") << "and no tip";
        } else {
            EXPECT_EQ(record.uCallbackMessage, (UINT)WM_TRAY_NOTIFY);
        }
        return result;
    }
    bool iconIsThere()
    {
        // Deleting tells, and a present icon is put back as it was.
        if (!NotifyTrayIcon(clock, NIM_DELETE, TRAY_ICON_ID, NULL, NULL, 0))
            return false;
        EXPECT_TRUE(change(TRAY_ADD));
        return true;
    }
};

} // namespace

TEST_F(Tray, AddModifyAndDeleteReportTheShellsAnswerAndConsumeTheIcon)
{
    EXPECT_NE(change(TRAY_ADD), 0);
    EXPECT_EQ(FromT(handedOver.record.szTip), "Tickperch");
    EXPECT_EQ(handedOver.record.uCallbackMessage, 1124u);
    EXPECT_EQ(change(TRAY_ADD), 0) << "the icon is there already";
    EXPECT_NE(change(TRAY_MODIFY), 0);
    EXPECT_NE(change(TRAY_DELETE), 0);
    EXPECT_EQ(change(TRAY_DELETE), 0) << "the icon is gone";
    EXPECT_EQ(change(TRAY_MODIFY), 0) << "nothing to modify";
    EXPECT_NE(change(TRAY_ADD), 0) << "and it can come back";
}

TEST_F(Tray, UnknownOperationsChangeNothingButStillConsumeTheIcon)
{
    const int operations[] = {3, -1, 100};
    for (int operation : operations)
        EXPECT_EQ(change(operation), 0) << operation;
    EXPECT_FALSE(iconIsThere()) << "no unknown operation added an icon";

    EXPECT_NE(change(TRAY_ADD), 0);
    for (int operation : operations)
        EXPECT_EQ(change(operation), 0) << operation;
    EXPECT_TRUE(iconIsThere()) << "no unknown operation deleted the icon";
    EXPECT_EQ(ChangeTrayIcon(clock, 7, TRAY_ICON_ID, NULL, TRAY_TIP, WM_TRAY_NOTIFY), 0) << "no icon at all";
}

TEST_F(Tray, TipLongerThanTheRecordIsCutNotRefused)
{
    // Far past the record's 64 bytes: a copy without a limit would run
    // over the stack.
    std::string tip(4000, 'T');
    EXPECT_NE(change(TRAY_ADD, ToT(tip).c_str()), 0);
    EXPECT_EQ(FromT(handedOver.record.szTip), std::string(63, 'T')) << "cut to 63 characters";
    EXPECT_NE(change(TRAY_MODIFY, ToT(std::string(63, 'U')).c_str()), 0);
    EXPECT_EQ(FromT(handedOver.record.szTip), std::string(63, 'U')) << "63 fit whole";
    EXPECT_NE(change(TRAY_MODIFY, ToT(std::string(64, 'V')).c_str()), 0);
    EXPECT_EQ(FromT(handedOver.record.szTip), std::string(63, 'V'));
    EXPECT_NE(change(TRAY_MODIFY, TEXT("")), 0);
    EXPECT_EQ(FromT(handedOver.record.szTip), "");
    EXPECT_NE(change(TRAY_MODIFY, NULL), 0);
    EXPECT_EQ(FromT(handedOver.record.szTip), "");
    EXPECT_NE(change(TRAY_DELETE, ToT(tip).c_str()), 0);
}

TEST_F(Tray, TaskbarRestartPutsTheIconBackOnlyWhenWanted)
{
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);

    AppState.ClockOptions.tray = 0;
    EXPECT_EQ(SendMessageA(clock, taskbarCreated, 0, 0), 0);
    EXPECT_FALSE(iconIsThere()) << "tray 0: no icon";

    AppState.ClockOptions.tray = 1;
    EXPECT_EQ(SendMessageA(clock, taskbarCreated, 0, 0), 0);
    ASSERT_FALSE(TrayCalls().empty());
    const TrayCall &readded = TrayCalls().back();
    EXPECT_EQ(readded.action, (DWORD)NIM_ADD);
    EXPECT_EQ(FromT(readded.record.szTip), "Tickperch") << "the clock's own icon";
    EXPECT_EQ(readded.record.uCallbackMessage, (UINT)WM_TRAY_NOTIFY);
    EXPECT_EQ(readded.icon, ClockIconPixels()) << "the program's own icon";
    EXPECT_TRUE(iconIsThere()) << "tray 1: the icon is back";

    // Again after the user's icon went away with the old taskbar.
    EXPECT_NE(change(TRAY_DELETE), 0);
    SendMessageA(clock, taskbarCreated, 0, 0);
    EXPECT_TRUE(iconIsThere());

    // An icon that is still there stays one icon.
    SendMessageA(clock, taskbarCreated, 0, 0);
    EXPECT_NE(change(TRAY_DELETE), 0);
    EXPECT_EQ(change(TRAY_DELETE), 0);
}
