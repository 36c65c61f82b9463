// The popup menu, its commands and switching skins, driven through the
// clock window procedure with the real menu, dialogs and open-file dialog.
#include <windows.h>

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "base/appstate.h"
#include "clockwin/clockwin.h"
#include "clockwin/commands.h"
#include "menukit.h"
#include "res/resource.h"
#include "skin/skin.h"
#include "skin/skinload.h"
#include "skinbuilder.h"
#include "testkit.h"

using namespace skintest;

namespace {

const char InvalidFormat[] = "問題|不正なファイル形式です。";
const char LoadFailed[] = "問題|ファイルの読み込みに失敗しました。他のアプリケーションが編集中かもしれません。";

Bytes SkinOfSize(int width, int height)
{
    SkinRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.dataName = "Test skin";
    return BuildSkin(recipe);
}

Bytes WrongMagic()
{
    Bytes image = SkinOfSize(40, 20);
    image[0] = 'X';
    return image;
}

// The format box belongs to nobody, every other box of a failed load to the
// clock; all of them are errors.
void ExpectOwnersAndIcons(const std::vector<SeenBox> &shown, HWND clock, const std::string &what)
{
    for (const SeenBox &box : shown) {
        bool format = box.caption + "|" + box.text == InvalidFormat;
        EXPECT_EQ(box.owner, format ? NULL : clock) << what << ": " << box.text;
        EXPECT_EQ(box.icon, (UINT)MB_ICONERROR) << what << ": " << box.text;
    }
}

class CommandsBase : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();
    TempFolder folder;
    std::vector<HWND> perches;

    ~CommandsBase() override
    {
        for (HWND window : perches)
            DestroyWindow(window);
    }
    std::string save(const std::string &name, const Bytes &bytes)
    {
        folder.write(name, bytes);
        return folder.file(name);
    }
    SIZE clockSize()
    {
        RECT rect = WindowRect(clock);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
    void showClockAt(int x, int y)
    {
        SetWindowPos(clock, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(clock, SW_SHOWNOACTIVATE);
    }
    HWND perch(int x, int y)
    {
        HWND window = MakeTestWindow(x, y, 500, 300);
        perches.push_back(window);
        return window;
    }
    // A file skin in force, as after a successful change.
    std::string fileSkinInForce()
    {
        std::string path = save("inforce.qve", SkinOfSize(64, 24));
        MessageBoxWatcher boxes;
        EXPECT_EQ(ReplaceDataFile(clock, ToT(path).c_str()), 1);
        EXPECT_TRUE(boxes.seen().empty());
        return path;
    }
};

// What the popup menu held while it was up.
struct MenuSeen {
    HMENU menu = NULL;
    UINT defaultItem = 0;
    std::vector<UINT> ids; // 0 for a separator
    std::vector<UINT> states;
    std::vector<std::string> texts;
    RECT place = {};
    int dockingSuspended = -1;
    HWND foreground = NULL;
};

MenuSeen ReadMenu(HWND menuWindow)
{
    MenuSeen seen;
    seen.menu = (HMENU)SendMessageA(menuWindow, MN_GETHMENU, 0, 0);
    seen.defaultItem = GetMenuDefaultItem(seen.menu, FALSE, 0);
    for (int i = 0; i < GetMenuItemCount(seen.menu); i++) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        GetMenuItemInfoA(seen.menu, i, TRUE, &item);
        char text[128] = "";
        GetMenuStringA(seen.menu, i, text, sizeof text, MF_BYPOSITION);
        seen.ids.push_back(item.fType & MFT_SEPARATOR ? 0 : item.wID);
        seen.states.push_back(item.fState);
        seen.texts.push_back(text);
    }
    GetWindowRect(menuWindow, &seen.place);
    seen.dockingSuspended = AppState.DockingSuspended;
    seen.foreground = GetForegroundWindow();
    return seen;
}

// Opens the menu with the message, reads it and closes it unchosen.
MenuSeen OpenAndReadMenu(HWND clock, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    MenuSeen seen;
    ModalDriver driver([&] {
        HWND menuWindow = OpenMenuWindow();
        if (!menuWindow)
            return false;
        seen = ReadMenu(menuWindow);
        EndMenu();
        return true;
    });
    *result = SendMessageA(clock, message, wParam, lParam);
    EXPECT_TRUE(driver.done()) << "no menu opened";
    EXPECT_FALSE(driver.timedOut());
    return seen;
}

class CommandsMenu : public CommandsBase {};
class CommandsDialogs : public CommandsBase {};
class CommandsChangeData : public CommandsBase {};
class CommandsDrop : public CommandsBase {};
class CommandsReplace : public CommandsBase {};
class CommandsExit : public CommandsBase {};

} // namespace

TEST_F(CommandsMenu, RightReleaseOpensTheMenuAtTheClickWithExitInBold)
{
    showClockAt(300, 200);
    LRESULT result = 0;
    MenuSeen seen = OpenAndReadMenu(clock, WM_RBUTTONUP, 0, MAKELPARAM(20, 10), &result);
    EXPECT_EQ(result, 1);

    EXPECT_EQ(seen.defaultItem, (UINT)IDM_EXIT);
    const std::vector<UINT> ids = {IDM_CHANGEDATA, IDM_PROPERTY, IDM_SETTING, 0, IDM_HELP, IDM_ABOUT, 0, IDM_EXIT};
    EXPECT_EQ(seen.ids, ids);
    ASSERT_EQ(seen.states.size(), 8u);
    const std::vector<std::string> texts = {"ﾃﾞｰﾀ変更(&C)", "ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ(&P)...", "設定(&S)...", "",
                                            "ﾍﾙﾌﾟ(&H)",     "ﾊﾞｰｼﾞｮﾝ情報(&A)...",    "",          "終了(&E)"};
    EXPECT_EQ(seen.texts, texts);
    // The same texts as bytes: Shift-JIS, not UTF-8 or a lost code page.
    EXPECT_EQ(seen.texts[7], "\x8F\x49\x97\xB9(&E)");
    EXPECT_EQ(seen.texts[0], "\xC3\xDE\xB0\xC0\x95\xCF\x8D\x58(&C)");
    for (size_t i = 0; i < seen.states.size(); i++) {
        if (seen.ids[i] != 0) {
            EXPECT_EQ(seen.states[i] & (MFS_DISABLED | MFS_CHECKED), 0u) << "item " << i;
        }
        EXPECT_EQ((seen.states[i] & MFS_DEFAULT) != 0, i == 7) << "item " << i;
    }

    // Top-left corner at the click point, in screen coordinates.
    EXPECT_EQ(seen.place.left, 320);
    EXPECT_EQ(seen.place.top, 210);
    EXPECT_EQ(seen.dockingSuspended, 1);
    EXPECT_NE(seen.foreground, clock) << "the menu does not activate the clock";

    EXPECT_EQ(AppState.DockingSuspended, 0);
    EXPECT_FALSE(IsMenu(seen.menu)) << "the loaded menu is destroyed after use";
    EXPECT_FALSE(TakePosted(clock, WM_COMMAND)) << "a cancelled menu runs no command";
    EXPECT_NE(GetForegroundWindow(), clock);
    EXPECT_FALSE(TakePosted(clock, WM_NULL)) << "the clock's own menu needs no nudge";
}

TEST_F(CommandsMenu, TrayIconOpensTheMenuOnlyOnRightRelease)
{
    POINT saved;
    GetCursorPos(&saved);
    SetCursorPos(700, 600);
    POINT cursor;
    GetCursorPos(&cursor);
    ASSERT_EQ(cursor.x, 700);
    ASSERT_EQ(cursor.y, 600);

    LRESULT result = 0;
    MenuSeen seen = OpenAndReadMenu(clock, WM_TRAY_NOTIFY, 1, WM_RBUTTONUP, &result);
    EXPECT_EQ(result, 1);
    // Bottom-right corner at the cursor: it opens up and to the left.
    EXPECT_EQ(seen.place.right, 700);
    EXPECT_EQ(seen.place.bottom, 600);
    EXPECT_EQ(seen.defaultItem, (UINT)IDM_EXIT);
    EXPECT_EQ(seen.ids.size(), 8u);
    EXPECT_EQ(seen.dockingSuspended, 1);
    EXPECT_EQ(AppState.DockingSuspended, 0);
    EXPECT_FALSE(IsMenu(seen.menu));
    // What a notification icon's menu needs to close on a click elsewhere
    // (Wine closes it either way, so the calls are what can be seen here).
    EXPECT_EQ(seen.foreground, clock) << "the clock is the foreground window while the menu is tracked";
    EXPECT_TRUE(TakePosted(clock, WM_NULL)) << "and gets a message right after it";

    const UINT others[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                           WM_MOUSEMOVE};
    for (UINT other : others) {
        bool opened = false;
        ModalDriver driver([&] {
            if (OpenMenuWindow()) {
                opened = true;
                EndMenu();
            }
            return false;
        }, 2000);
        EXPECT_EQ(SendMessageA(clock, WM_TRAY_NOTIFY, 1, other), DefWindowProcA(clock, WM_TRAY_NOTIFY, 1, other))
            << other;
        EXPECT_FALSE(opened) << "tray event " << other;
        EXPECT_EQ(AppState.DockingSuspended, 0) << other;
    }
    SetCursorPos(saved.x, saved.y);
}

TEST_F(CommandsMenu, ChosenItemReachesTheClockAsItsCommand)
{
    showClockAt(300, 200);
    ModalDriver driver([&] {
        HWND menuWindow = OpenMenuWindow();
        if (!menuWindow)
            return false;
        PostMessageA(menuWindow, WM_CHAR, 's', 0); // the item's mnemonic: Settings
        return true;
    });
    EXPECT_EQ(SendMessageA(clock, WM_RBUTTONUP, 0, MAKELPARAM(5, 5)), 1);
    EXPECT_FALSE(driver.timedOut());
    MSG command;
    ASSERT_TRUE(TakePosted(clock, WM_COMMAND, &command)) << "the clock owns the menu";
    EXPECT_EQ(LOWORD(command.wParam), IDM_SETTING);
    EXPECT_EQ(AppState.DockingSuspended, 0);
    EXPECT_EQ(AppState.DialogOpen, 0) << "the command runs later, from the queue";
}

TEST_F(CommandsDialogs, EachDialogHidesTheClockHoldsTheFlagsAndBlocksASecond)
{
    struct {
        UINT command;
        const char *caption;
    } dialogs[] = {{IDM_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報"},
                   {IDM_SETTING, "Tickperch OV - 設定"},
                   {IDM_PROPERTY, "ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ"}};
    const UINT gated[] = {IDM_ABOUT, IDM_SETTING, IDM_PROPERTY, IDM_CHANGEDATA};
    for (const auto &dialog : dialogs) {
        showClockAt(300, 200);
        std::string caption;
        int suspended = -1, open = -1;
        bool clockVisible = true, nested = false;
        size_t dialogsAfterSecond = 0;
        HWND first = NULL;
        ModalDriver driver([&] {
            HWND box = DialogOwnedBy(clock);
            if (!box)
                return false;
            if (first) {
                // A second dialog has opened inside the gated command.
                nested = true;
                for (HWND extra : DialogsOwnedBy(clock))
                    CloseDialog(extra);
                return false;
            }
            first = box;
            caption = WindowText(box);
            suspended = AppState.DockingSuspended;
            open = AppState.DialogOpen;
            clockVisible = IsWindowVisible(clock);
            for (UINT command : gated)
                SendMessageA(clock, WM_COMMAND, command, 0);
            dialogsAfterSecond = DialogsOwnedBy(clock).size();
            PressButton(box, IDOK);
            return true;
        });
        EXPECT_EQ(SendMessageA(clock, WM_COMMAND, dialog.command, 0), 0) << dialog.caption;
        EXPECT_FALSE(driver.timedOut()) << dialog.caption;
        ASSERT_TRUE(first) << dialog.caption << ": no dialog owned by the clock";
        EXPECT_EQ(caption, dialog.caption);
        EXPECT_EQ(suspended, 1) << dialog.caption;
        EXPECT_EQ(open, 1) << dialog.caption;
        EXPECT_FALSE(clockVisible) << dialog.caption << ": hidden while the dialog is up";
        EXPECT_FALSE(nested) << dialog.caption;
        EXPECT_EQ(dialogsAfterSecond, 1u) << dialog.caption;

        EXPECT_EQ(AppState.DialogOpen, 0) << dialog.caption;
        EXPECT_EQ(AppState.DockingSuspended, 0) << dialog.caption;
        EXPECT_TRUE(IsWindowVisible(clock)) << dialog.caption;
        EXPECT_FALSE(TakePosted(clock, WM_DOCK_UPDATE)) << dialog.caption << ": it returns where it stood";
        EXPECT_FALSE(IsWindow(first));
    }
}

namespace {

// Runs the command with a module that holds no dialog templates, so that
// the dialog can't be made (DialogBoxParamA gives -1).
void RunDialogThatCannotBeMade(HWND clock, UINT command)
{
    HINSTANCE own = AppState.AppInstance;
    AppState.AppInstance = GetModuleHandleA("kernel32.dll");
    ModalDriver driver([] {
        CancelEverything();
        return false;
    });
    SendMessageA(clock, WM_COMMAND, command, 0);
    AppState.AppInstance = own;
}

} // namespace

TEST_F(CommandsDialogs, DialogThatCannotBeMadeStillBringsTheClockBack)
{
    showClockAt(300, 200);
    RunDialogThatCannotBeMade(clock, IDM_ABOUT);
    EXPECT_TRUE(IsWindowVisible(clock));
    EXPECT_EQ(AppState.DockingSuspended, 0);
}

// A dialog that can't be made must not leave DialogOpen set: Settings,
// Properties, Version information and Change data would do nothing for the
// rest of the run.
TEST_F(CommandsDialogs, DialogThatCannotBeMadeLocksNoLaterDialog)
{
    showClockAt(300, 200);
    RunDialogThatCannotBeMade(clock, IDM_ABOUT);
    EXPECT_EQ(AppState.DialogOpen, 0);

    bool opened = false;
    ModalDriver driver([&] {
        HWND box = DialogOwnedBy(clock);
        if (!box)
            return false;
        opened = true;
        CloseDialog(box);
        return true;
    });
    SendMessageA(clock, WM_COMMAND, IDM_SETTING, 0);
    EXPECT_TRUE(opened) << "Settings still opens";
}

TEST_F(CommandsDialogs, TrayMenuDuringADialogKeepsDockingHeldAndOpensNoSecondDialog)
{
    POINT saved;
    GetCursorPos(&saved);
    SetCursorPos(700, 600);
    enum { WaitDialog, InMenu, AfterMenu, Closing } phase = WaitDialog;
    HWND about = NULL;
    int suspendedInMenu = -1, openInMenu = -1, suspendedAfterMenu = -1, openAfterMenu = -1;
    size_t most = 0;
    ModalDriver driver([&] {
        most = std::max(most, DialogsOwnedBy(clock).size());
        switch (phase) {
        case WaitDialog:
            about = DialogOwnedBy(clock);
            if (!about)
                return false;
            phase = InMenu;
            // The icon's callback arrives while the dialog is up.
            SendMessageA(clock, WM_TRAY_NOTIFY, 1, WM_RBUTTONUP);
            suspendedAfterMenu = AppState.DockingSuspended;
            openAfterMenu = AppState.DialogOpen;
            phase = AfterMenu;
            return false;
        case InMenu: {
            HWND menuWindow = OpenMenuWindow();
            if (!menuWindow || suspendedInMenu != -1)
                return false;
            suspendedInMenu = AppState.DockingSuspended;
            openInMenu = AppState.DialogOpen;
            PostMessageA(menuWindow, WM_CHAR, 's', 0); // Settings, while About is up
            return false;
        }
        case AfterMenu: {
            // Wait until the chosen command has been dispatched.
            MSG pending;
            if (PeekMessageA(&pending, clock, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
                return false;
            phase = Closing;
            for (HWND box : DialogsOwnedBy(clock))
                CloseDialog(box);
            return true;
        }
        case Closing:
            return true;
        }
        return true;
    });
    SendMessageA(clock, WM_COMMAND, IDM_ABOUT, 0);
    SetCursorPos(saved.x, saved.y);
    EXPECT_FALSE(driver.timedOut());
    ASSERT_TRUE(about);
    EXPECT_EQ(suspendedInMenu, 1);
    EXPECT_EQ(openInMenu, 1);
    EXPECT_EQ(suspendedAfterMenu, 1) << "the closed menu leaves docking held while the dialog is up";
    EXPECT_EQ(openAfterMenu, 1);
    EXPECT_EQ(most, 1u) << "Settings chosen under About opened no second dialog";
    EXPECT_EQ(AppState.DialogOpen, 0);
    EXPECT_EQ(AppState.DockingSuspended, 0);
}

namespace {

// What the open-file dialog looked like, and what was done with it.
struct FileDialogRun {
    bool seen = false;
    std::string caption, filter;
    int suspended = -1, open = -1;
    bool clockVisible = true;
    size_t dialogsAfterSecond = 0;
    bool centred = false;
    bool timedOut = false;
    LRESULT result = -1;
};

// Sends Change data; types `typed` into the dialog and presses Open, or
// cancels it when `typed` is empty.
FileDialogRun RunChangeData(HWND clock, const std::string &typed)
{
    FileDialogRun run;
    ModalDriver driver([&] {
        HWND box = DialogOwnedBy(clock);
        if (!box || !GetDlgItem(box, FileNameEdit) || run.seen)
            return false;
        run.seen = true;
        run.caption = WindowText(box);
        run.filter = WindowText(GetDlgItem(box, FileTypeCombo));
        run.suspended = AppState.DockingSuspended;
        run.open = AppState.DialogOpen;
        run.clockVisible = IsWindowVisible(clock);
        RECT frame = WindowRect(box), desktop = WindowRect(GetDesktopWindow());
        // Wine trims the frame's height a little after the hook has
        // centred it, so the vertical centre is only nearly right.
        run.centred = abs((frame.left + frame.right) - (desktop.left + desktop.right)) <= 2 &&
                      abs((frame.top + frame.bottom) - (desktop.top + desktop.bottom)) <= 40;
        // A dialog command while the open-file dialog is up does nothing.
        SendMessageA(clock, WM_COMMAND, IDM_ABOUT, 0);
        run.dialogsAfterSecond = DialogsOwnedBy(clock).size();
        if (typed.empty()) {
            PressButton(box, IDCANCEL);
        } else {
            SetDlgItemTextA(box, FileNameEdit, typed.c_str());
            PressButton(box, IDOK);
        }
        return true;
    });
    run.result = SendMessageA(clock, WM_COMMAND, IDM_CHANGEDATA, 0);
    run.timedOut = driver.timedOut();
    return run;
}

void ExpectDialogRanAsUsual(const FileDialogRun &run)
{
    ASSERT_TRUE(run.seen) << "no open-file dialog owned by the clock";
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.caption, "Tickperch OV - データ変更");
    EXPECT_EQ(run.filter, "Tickperch OV Data(*.qve)");
    EXPECT_TRUE(run.centred) << "centred over the desktop";
    EXPECT_EQ(run.suspended, 1);
    EXPECT_EQ(run.open, 1);
    EXPECT_FALSE(run.clockVisible);
    EXPECT_EQ(run.dialogsAfterSecond, 1u);
    EXPECT_EQ(run.result, 0);
}

} // namespace

TEST_F(CommandsChangeData, ChosenSkinIsPutInForceUnderItsLongName)
{
    HWND dockTarget = perch(100, 100);
    HWND other = perch(300, 400);
    MakeForeground(other);
    AppState.DockTarget = dockTarget;
    AppState.PreviousDockTarget = other;
    lstrcpy(AppState.CurrentDataFile, TEXT("DEFAULTDATA"));
    showClockAt(300, 200);

    std::string path = save("Long Skin Name.qve", SkinOfSize(120, 40));
    std::string shortPath = ShortPathOf(path);
    ASSERT_FALSE(shortPath.empty());
    ASSERT_NE(shortPath, path) << "the test needs a short form that differs";

    MessageBoxWatcher boxes;
    FileDialogRun run = RunChangeData(clock, shortPath);
    ExpectDialogRanAsUsual(run);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(clockSize().cx, 120);
    EXPECT_EQ(clockSize().cy, 40);
    EXPECT_EQ(FromT(AppState.CurrentDataFile), path.c_str()) << "typed " << shortPath;

    EXPECT_EQ(AppState.DialogOpen, 0);
    EXPECT_EQ(AppState.DockingSuspended, 0);
    EXPECT_TRUE(IsWindowVisible(clock));
    EXPECT_TRUE(TakePosted(clock, WM_DOCK_UPDATE)) << "re-docks at once";
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dockTarget; })) << "the perch gets the foreground";
    EXPECT_FALSE(TakeQuit());
}

TEST_F(CommandsChangeData, NameWithoutExtensionFindsTheSkin)
{
    std::string path = save("plain.qve", SkinOfSize(48, 30));
    MessageBoxWatcher boxes;
    FileDialogRun run = RunChangeData(clock, folder.file("plain"));
    ExpectDialogRanAsUsual(run);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(FromT(AppState.CurrentDataFile), path.c_str());
    EXPECT_EQ(clockSize().cx, 48);
    TakePosted(clock, WM_DOCK_UPDATE);
}

TEST_F(CommandsChangeData, CancelLoadsNothingButBringsTheClockBack)
{
    HWND previous = perch(100, 100);
    HWND other = perch(300, 400);
    MakeForeground(other);
    AppState.DockTarget = NULL; // the perch is gone: the previous one takes over
    AppState.PreviousDockTarget = previous;
    std::string inForce = fileSkinInForce();
    HBITMAP skin = AppState.SkinBitmap;

    MessageBoxWatcher boxes;
    FileDialogRun run = RunChangeData(clock, "");
    ExpectDialogRanAsUsual(run);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(AppState.SkinBitmap, skin);
    EXPECT_EQ(FromT(AppState.CurrentDataFile), inForce.c_str());
    EXPECT_EQ(AppState.DialogOpen, 0);
    EXPECT_EQ(AppState.DockingSuspended, 0);
    EXPECT_TRUE(IsWindowVisible(clock));
    EXPECT_TRUE(TakePosted(clock, WM_DOCK_UPDATE));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == previous; }));
}

TEST_F(CommandsChangeData, FileThatFailsToLoadKeepsTheSkinAndTheProgramGoesOn)
{
    std::string inForce = fileSkinInForce();
    HBITMAP skin = AppState.SkinBitmap;
    struct {
        std::string typed;
        std::vector<std::string> boxes;
    } failures[] = {
        {save("bad.qve", WrongMagic()), {InvalidFormat, LoadFailed}},
        // The dialog takes a name that isn't there; the load then fails.
        {folder.file("missing.qve"), {LoadFailed}},
    };
    MessageBoxWatcher boxes;
    for (const auto &failure : failures) {
        boxes.clear();
        FileDialogRun run = RunChangeData(clock, failure.typed);
        ExpectDialogRanAsUsual(run);
        EXPECT_EQ(boxes.seen(), failure.boxes) << failure.typed;
        EXPECT_EQ(AppState.SkinBitmap, skin);
        EXPECT_EQ(clockSize().cx, 64);
        EXPECT_EQ(FromT(AppState.CurrentDataFile), inForce.c_str());
        EXPECT_FALSE(TakeQuit()) << "a failed change never ends the program";
        EXPECT_TRUE(IsWindow(clock));
        EXPECT_EQ(AppState.DialogOpen, 0);
        EXPECT_EQ(AppState.DockingSuspended, 0);
        EXPECT_TRUE(IsWindowVisible(clock));
        EXPECT_TRUE(TakePosted(clock, WM_DOCK_UPDATE));
    }
}

TEST_F(CommandsDrop, FirstDroppedNameIsPutInForceAndDialogOpenCleared)
{
    std::string first = save("first.qve", SkinOfSize(120, 40));
    std::string second = save("second.qve", SkinOfSize(33, 9));
    std::string bad = save("bad.qve", WrongMagic());
    AppState.DialogOpen = 1;
    MessageBoxWatcher boxes;
    EXPECT_EQ(SendMessageA(clock, WM_DROPFILES, (WPARAM)MakeDrop({first, second, bad}), 0), 0);
    EXPECT_TRUE(boxes.seen().empty()) << "only the first name is used";
    EXPECT_EQ(FromT(AppState.CurrentDataFile), first.c_str());
    EXPECT_EQ(clockSize().cx, 120);
    EXPECT_EQ(clockSize().cy, 40);
    EXPECT_EQ(AppState.DialogOpen, 0);
    EXPECT_FALSE(TakePosted(clock, WM_DOCK_UPDATE)) << "the clock moves only at the next docking event";
}

TEST_F(CommandsDrop, BadDropTellsTheUserAndKeepsTheSkin)
{
    std::string inForce = fileSkinInForce();
    HBITMAP skin = AppState.SkinBitmap;
    std::string bad = save("bad.qve", WrongMagic());
    showClockAt(300, 200);
    UpdateWindow(clock);
    AppState.DialogOpen = 1;

    MessageBoxWatcher boxes;
    EXPECT_EQ(SendMessageA(clock, WM_DROPFILES, (WPARAM)MakeDrop({bad}), 0), 0);
    EXPECT_EQ(boxes.seen(), (std::vector<std::string>{InvalidFormat, LoadFailed}));
    ExpectOwnersAndIcons(boxes.details(), clock, "bad drop");
    EXPECT_EQ(AppState.SkinBitmap, skin);
    EXPECT_EQ(FromT(AppState.CurrentDataFile), inForce.c_str());
    EXPECT_EQ(clockSize().cx, 64);
    EXPECT_EQ(AppState.DialogOpen, 0);
    EXPECT_FALSE(TakeQuit());
    EXPECT_TRUE(IsWindow(clock));
    RECT dirty;
    EXPECT_TRUE(GetUpdateRect(clock, &dirty, FALSE)) << "a drop repaints the clock";
}

TEST_F(CommandsDrop, NamesTooLongForTheRecordAreRefused)
{
    std::string inForce = fileSkinInForce();
    HBITMAP skin = AppState.SkinBitmap;
    // Every dropped name leads to a good skin, so only the length refuses
    // it: 256 and 259 characters fit the drop buffer but not the data file
    // record; longer names come out of the buffer cut to the 259 characters
    // of an existing skin's path.
    std::string cutTo = PathOfLength(folder.path(), 259);
    folder.write(cutTo.substr(folder.path().size() + 1), SkinOfSize(90, 30));
    std::string exactly256 = PathOfLength(folder.path(), 256);
    folder.write(exactly256.substr(folder.path().size() + 1), SkinOfSize(90, 30));
    const std::string names[] = {exactly256, cutTo, cutTo + "x", cutTo + std::string(41, 'x'),
                                 cutTo + std::string(741, 'x')};
    MessageBoxWatcher boxes;
    for (const std::string &name : names) {
        boxes.clear();
        EXPECT_EQ(SendMessageA(clock, WM_DROPFILES, (WPARAM)MakeDrop({name}), 0), 0);
        EXPECT_EQ(boxes.seen(), (std::vector<std::string>{LoadFailed})) << name.size();
        EXPECT_EQ(AppState.SkinBitmap, skin) << name.size();
        EXPECT_EQ(FromT(AppState.CurrentDataFile), inForce.c_str()) << name.size();
    }
    EXPECT_FALSE(TakeQuit());
}

namespace {

// Every way a new skin can fail; each keeps the skin in force, its path and
// the program.
void ExpectEveryFailureKeepsTheSkin(HWND clock, TempFolder &folder)
{
    folder.write("bad.qve", WrongMagic());
    folder.write("held.qve", SkinOfSize(90, 30));
    std::string tooLong = PathOfLength(folder.path(), 256);
    folder.write(tooLong.substr(folder.path().size() + 1), SkinOfSize(90, 30));

    HBITMAP skin = AppState.SkinBitmap;
    SkinHeaderRecord header = SkinHeader;
    RECT size = WindowRect(clock);
    std::string current = FromT(AppState.CurrentDataFile);
    HANDLE holder = HoldFileInOtherProcess(folder.file("held.qve"));
    ASSERT_TRUE(holder != NULL);

    struct {
        const char *what;
        std::string path;
        std::vector<std::string> boxes;
    } failures[] = {
        {"wrong magic", folder.file("bad.qve"), {InvalidFormat, LoadFailed}},
        {"held by another program", folder.file("held.qve"), {LoadFailed}},
        {"missing", folder.file("missing.qve"), {LoadFailed}},
        {"256 characters", tooLong, {LoadFailed}},
        {"empty", "", {LoadFailed}},
    };
    MessageBoxWatcher boxes;
    for (const auto &failure : failures) {
        boxes.clear();
        EXPECT_EQ(ReplaceDataFile(clock, ToT(failure.path).c_str()), 0) << failure.what;
        EXPECT_EQ(boxes.seen(), failure.boxes) << failure.what;
        ExpectOwnersAndIcons(boxes.details(), clock, failure.what);
        EXPECT_EQ(AppState.SkinBitmap, skin) << failure.what;
        EXPECT_EQ(memcmp(&SkinHeader, &header, sizeof header), 0) << failure.what;
        EXPECT_EQ(WindowRect(clock).right - WindowRect(clock).left, size.right - size.left) << failure.what;
        EXPECT_EQ(FromT(AppState.CurrentDataFile), current) << failure.what;
        EXPECT_FALSE(TakeQuit()) << failure.what << ": the program goes on";
        EXPECT_TRUE(IsWindow(clock)) << failure.what;
    }
    ReleaseFile(holder);
    BITMAP picture;
    EXPECT_EQ(GetObjectA(skin, sizeof picture, &picture), (int)sizeof picture) << "the skin in force is alive";
}

} // namespace

TEST_F(CommandsReplace, GoodFileIsPutInForceAndRecordedUpTo255Characters)
{
    MessageBoxWatcher boxes;
    std::string path = save("good.qve", SkinOfSize(120, 40));
    EXPECT_EQ(ReplaceDataFile(clock, ToT(path).c_str()), 1);
    EXPECT_EQ(FromT(AppState.CurrentDataFile), path.c_str());
    EXPECT_EQ(clockSize().cx, 120);

    std::string longest = PathOfLength(folder.path(), 255);
    folder.write(longest.substr(folder.path().size() + 1), SkinOfSize(33, 9));
    EXPECT_EQ(ReplaceDataFile(clock, ToT(longest).c_str()), 1);
    EXPECT_EQ(FromT(AppState.CurrentDataFile), longest.c_str());
    EXPECT_EQ(AppState.CurrentDataFile[255], '\0');
    EXPECT_EQ(clockSize().cx, 33);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_FALSE(TakeQuit());
}

TEST_F(CommandsReplace, FailuresKeepAFileSkinAndThePath)
{
    fileSkinInForce();
    ExpectEveryFailureKeepsTheSkin(clock, folder);
}

TEST_F(CommandsReplace, FailuresKeepTheBuiltInSkinAndTheProgramRuns)
{
    // The built-in skin has no file to fall back to.
    lstrcpy(AppState.CurrentDataFile, TEXT("DEFAULTDATA"));
    ExpectEveryFailureKeepsTheSkin(clock, folder);
    EXPECT_EQ(FromT(AppState.CurrentDataFile), "DEFAULTDATA");
    EXPECT_EQ(clockSize().cx, 101);
}

TEST_F(CommandsExit, ExitHidesFlagsAndDestroysTheClockEvenUnderADialog)
{
    showClockAt(300, 200);
    AppState.DialogOpen = 1; // Exit is not gated
    ClockSpy spy(clock);
    SendMessageA(clock, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(clock));
    EXPECT_EQ(AppState.ExitRequested, 1);

    int hiddenAt = -1, destroyedAt = -1;
    for (size_t i = 0; i < spy.seen.size(); i++) {
        if (spy.seen[i].message == WM_SHOWWINDOW && spy.seen[i].wParam == FALSE && hiddenAt < 0)
            hiddenAt = (int)i;
        if (spy.seen[i].message == WM_DESTROY) {
            destroyedAt = (int)i;
            EXPECT_EQ(spy.seen[i].exitRequested, 1) << "set before the window goes";
        }
    }
    EXPECT_GE(hiddenAt, 0) << "hidden first";
    EXPECT_GT(destroyedAt, hiddenAt);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(&exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(CommandsExit, CloseDestroysWithoutTheExitFlag)
{
    showClockAt(300, 200);
    EXPECT_EQ(SendMessageA(clock, WM_CLOSE, 0, 0), 1);
    EXPECT_FALSE(IsWindow(clock));
    EXPECT_EQ(AppState.ExitRequested, 0);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(&exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(CommandsDialogs, PropertiesShowTheSkinTextsAndNeverMoreThanAField)
{
    SkinRecipe recipe;
    recipe.width = 40;
    recipe.height = 20;
    recipe.author = std::string(256, 'A'); // fills the field, no end
    recipe.dataName = "Night";
    std::string path = save("texts.qve", BuildSkin(recipe));
    ASSERT_EQ(LoadSkinFile(clock, ToT(path).c_str()), 1);

    std::string author, dataName, homePage, mail;
    ModalDriver driver([&] {
        HWND box = DialogOwnedBy(clock);
        if (!box)
            return false;
        char text[1024];
        GetDlgItemTextA(box, 1002, text, sizeof text);
        author = text;
        GetDlgItemTextA(box, 1003, text, sizeof text);
        dataName = text;
        GetDlgItemTextA(box, 1004, text, sizeof text);
        homePage = text;
        GetDlgItemTextA(box, 1005, text, sizeof text);
        mail = text;
        CloseDialog(box);
        return true;
    });
    SendMessageA(clock, WM_COMMAND, IDM_PROPERTY, 0);
    EXPECT_EQ(author, std::string(256, 'A')) << "its 256 bytes, not what follows in the header";
    EXPECT_EQ(dataName, "Night");
    EXPECT_EQ(homePage, "（ 非公開 ）") << "an empty field keeps the placeholder";
    EXPECT_EQ(mail, "（ 非公開 ）");
}
