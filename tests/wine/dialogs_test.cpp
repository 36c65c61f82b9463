// The settings, version and data-property dialogs, run modally as the menu
// runs them and driven with the messages a user's clicks and keys make.
#include <windows.h>

#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/appstate.h"
#include "clockwin/clockwin.h"
#include "clockwin/tray.h"
#include "dialogkit.h"
#include "dialogs/caption.h"
#include "dialogs/dialogs.h"
#include "menukit.h"
#include "res/resource.h"
#include "shellseam.h"
#include "skin/skin.h"
#include "startup/lifecycle.h"
#include "testkit.h"

namespace {

// Opens a dialog with `open`; `look` sees it open (once), then the dialog
// is left with `leave`. Returns what `open` returned.
INT_PTR RunModal(std::function<INT_PTR()> open, const char *name, std::function<void(HWND)> look,
                 std::function<void(HWND)> leave, bool *timedOut = nullptr)
{
    HWND seen = NULL;
    ModalDriver driver([&] {
        HWND box = DialogOwnedBy(AppState.ClockWindow);
        if (!box)
            return false;
        if (!seen) {
            seen = box;
            look(box);
            leave(box);
        }
        return true;
    });
    INT_PTR result = open();
    EXPECT_TRUE(seen) << name << " never opened";
    if (timedOut)
        *timedOut = driver.timedOut();
    else
        EXPECT_FALSE(driver.timedOut()) << name << " did not close";
    return result;
}

// Runs the dialog as the menu does. Returns what DialogBoxParamA returned.
INT_PTR RunDialog(const char *name, DLGPROC procedure, std::function<void(HWND)> look,
                  std::function<void(HWND)> leave, bool *timedOut = nullptr)
{
    return RunModal([&] { return DialogBoxParamA(AppState.AppInstance, name, AppState.ClockWindow, procedure, 0); },
                    name, look, leave, timedOut);
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The ways out of a dialog that a user has.
void LeaveWithOk(HWND box) { PressButton(box, IDOK); }
void LeaveWithCancel(HWND box) { PressButton(box, IDCANCEL); }
void LeaveWithCloseButton(HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }
void LeaveWithAltF4(HWND box) { PostMessageA(box, WM_SYSKEYDOWN, VK_F4, 1 << 29); }
void LeaveWithEscape(HWND box) { PostMessageA(GetFocus() ? GetFocus() : box, WM_KEYDOWN, VK_ESCAPE, 0); }
void LeaveWithEnter(HWND box) { PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0); }

bool CentredAndOnTop(HWND box)
{
    RECT rect = WindowRect(box), desktop = WindowRect(GetDesktopWindow());
    return IsWindowVisible(box) && (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
           abs((rect.left + rect.right) - (desktop.left + desktop.right)) <= 1 &&
           abs((rect.top + rect.bottom) - (desktop.top + desktop.bottom)) <= 1;
}

class DialogsBase : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();
    void SetUp() override
    {
        InitCaptionPainter();
        AppState.LinkCursor = LoadCursorA(NULL, (LPCSTR)IDC_HAND);
    }
};

// What the settings dialog's buttons show.
struct SettingsShown {
    std::vector<int> checked; // ids of the checked buttons, in id order
    bool dateEnabled[7];
};

const int SettingButtons[] = {IDC_HOURS12, IDC_HOURS24, IDC_DATETIP, IDC_NOYEAR, IDC_WESTERNYEAR,
                              IDC_ERAYEAR, IDC_SLASHES, IDC_UNITS,   IDC_TRAYICON};
const int DateControls[] = {IDC_YEARFRAME, IDC_FORMATFRAME, IDC_NOYEAR, IDC_WESTERNYEAR,
                            IDC_ERAYEAR,   IDC_SLASHES,     IDC_UNITS};

SettingsShown ReadSettings(HWND box)
{
    SettingsShown shown;
    for (int id : SettingButtons)
        if (IsDlgButtonChecked(box, id) == BST_CHECKED)
            shown.checked.push_back(id);
    for (int i = 0; i < 7; i++)
        shown.dateEnabled[i] = IsWindowEnabled(GetDlgItem(box, DateControls[i])) != 0;
    return shown;
}

void ExpectDateEnabled(const SettingsShown &shown, bool enabled, const char *what)
{
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(shown.dateEnabled[i], enabled) << what << ": control " << DateControls[i];
}

class DialogsSettings : public DialogsBase {};
class DialogsAbout : public DialogsBase {};
class DialogsProperty : public DialogsBase {};

} // namespace

TEST_F(DialogsSettings, ChoicesReachTheOptionsOnOkOnly)
{
    struct Options {
        int timeSys, tooltip, year, slash, tray;
    };
    const struct {
        const char *what;
        Options start;
        std::vector<int> shown; // checked at opening
        bool dateEnabled;
        std::vector<int> clicks;
        void (*leave)(HWND);
        Options end;
        std::vector<DWORD> trayActions;
    } cases[] = {
        {"every choice changed",
         {24, 1, 0, 0, 0}, {IDC_HOURS24, IDC_DATETIP, IDC_NOYEAR, IDC_SLASHES}, true,
         {IDC_HOURS12, IDC_WESTERNYEAR, IDC_UNITS, IDC_TRAYICON}, LeaveWithOk,
         {12, 1, 1, 1, 1}, {NIM_ADD}},
        {"odd values show as the dialog can; OK stores them as shown",
         {0, 1, 3, 7, 1}, {IDC_HOURS12, IDC_DATETIP, IDC_UNITS, IDC_TRAYICON}, true,
         {}, LeaveWithOk,
         {12, 1, 2, 1, 1}, {}},
        {"greyed radios still count",
         {24, 0, 1, 0, 0}, {IDC_HOURS24, IDC_WESTERNYEAR, IDC_SLASHES}, false,
         {IDC_DATETIP, IDC_ERAYEAR, IDC_DATETIP}, LeaveWithOk,
         {24, 0, 2, 0, 0}, {}},
        {"clearing the box takes the icon away",
         {12, 1, 2, 1, 1}, {IDC_HOURS12, IDC_DATETIP, IDC_ERAYEAR, IDC_UNITS, IDC_TRAYICON}, true,
         {IDC_TRAYICON}, LeaveWithOk,
         {12, 1, 2, 1, 0}, {NIM_DELETE}},
        {"a hand-edited tray value put the icon there; clearing the box removes it",
         {24, 1, 0, 0, 2}, {IDC_HOURS24, IDC_DATETIP, IDC_NOYEAR, IDC_SLASHES, IDC_TRAYICON}, true,
         {IDC_TRAYICON}, LeaveWithOk,
         {24, 1, 0, 0, 0}, {NIM_DELETE}},
        {"Cancel changes nothing",
         {12, 1, 2, 1, 1}, {IDC_HOURS12, IDC_DATETIP, IDC_ERAYEAR, IDC_UNITS, IDC_TRAYICON}, true,
         {IDC_HOURS24, IDC_NOYEAR, IDC_SLASHES, IDC_TRAYICON, IDC_DATETIP}, LeaveWithCancel,
         {12, 1, 2, 1, 1}, {}},
        {"Escape changes nothing",
         {24, 1, 0, 0, 0}, {IDC_HOURS24, IDC_DATETIP, IDC_NOYEAR, IDC_SLASHES}, true,
         {IDC_HOURS12, IDC_TRAYICON}, LeaveWithEscape,
         {24, 1, 0, 0, 0}, {}},
        {"the close button changes nothing",
         {24, 0, 0, 0, 1}, {IDC_HOURS24, IDC_NOYEAR, IDC_SLASHES, IDC_TRAYICON}, false,
         {IDC_HOURS12, IDC_TRAYICON, IDC_DATETIP}, LeaveWithCloseButton,
         {24, 0, 0, 0, 1}, {}},
    };
    for (const auto &c : cases) {
        ClockOptions &options = AppState.ClockOptions;
        options.position = 321;
        options.timeSys = c.start.timeSys;
        options.tooltip = c.start.tooltip;
        options.year = c.start.year;
        options.slash = c.start.slash;
        options.tray = c.start.tray;
        if (c.start.tray)
            ChangeClockTrayIcon(clock, TRAY_ADD); // as start-up did
        TrayCalls().clear();

        SettingsShown atOpen, afterClicks;
        bool placed = false;
        int trayCallsBeforeLeaving = -1;
        // From the menu: the command applies the tray choice once the dialog closed.
        auto fromMenu = [&] { return (INT_PTR)SendMessageA(clock, WM_COMMAND, IDM_SETTING, 0); };
        INT_PTR result = RunModal(fromMenu, "SETTING", [&](HWND box) {
            placed = CentredAndOnTop(box);
            atOpen = ReadSettings(box);
            for (int id : c.clicks)
                Click(box, id);
            afterClicks = ReadSettings(box);
            trayCallsBeforeLeaving = (int)TrayCalls().size();
        }, c.leave);

        EXPECT_EQ(result, 0) << c.what;
        EXPECT_TRUE(placed) << c.what << ": centred over the desktop, topmost, shown";
        EXPECT_EQ(atOpen.checked, c.shown) << c.what;
        ExpectDateEnabled(atOpen, c.dateEnabled, c.what);
        bool tipTicked = std::count(afterClicks.checked.begin(), afterClicks.checked.end(), IDC_DATETIP) == 1;
        ExpectDateEnabled(afterClicks, tipTicked, c.what);
        EXPECT_EQ(trayCallsBeforeLeaving, 0) << c.what << ": nothing is applied before OK";
        EXPECT_EQ(options.timeSys, c.end.timeSys) << c.what;
        EXPECT_EQ(options.tooltip, c.end.tooltip) << c.what;
        EXPECT_EQ(options.year, c.end.year) << c.what;
        EXPECT_EQ(options.slash, c.end.slash) << c.what;
        EXPECT_EQ(options.tray, c.end.tray) << c.what;
        EXPECT_EQ(options.position, 321) << c.what << ": the dialog leaves the offset alone";

        std::vector<DWORD> actions;
        for (const TrayCall &call : TrayCalls()) {
            actions.push_back(call.action);
            EXPECT_EQ(call.record.hWnd, clock) << c.what;
            EXPECT_EQ(call.record.uID, (UINT)TRAY_ICON_ID) << c.what;
            if (call.action == NIM_ADD) {
                EXPECT_EQ(call.record.cbSize, (DWORD)NOTIFYICONDATA_V1_SIZE) << c.what;
                EXPECT_EQ(call.record.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP)) << c.what;
                EXPECT_EQ(call.record.uCallbackMessage, (UINT)WM_TRAY_NOTIFY) << c.what;
                EXPECT_EQ(FromT(call.record.szTip), "Tickperch") << c.what;
                EXPECT_EQ(call.icon, ClockIconPixels()) << c.what << ": the program's own icon";
                EXPECT_TRUE(call.result) << c.what << ": the taskbar took it";
            }
        }
        EXPECT_EQ(actions, c.trayActions) << c.what;
        NotifyTrayIcon(clock, NIM_DELETE, TRAY_ICON_ID, NULL, NULL, 0);
    }
}

TEST_F(DialogsSettings, TheTooltipBoxGreysAndFreesTheDateControlsKeepingTheirChecks)
{
    AppState.ClockOptions.tooltip = 1;
    AppState.ClockOptions.year = 2;
    AppState.ClockOptions.slash = 1;
    std::vector<SettingsShown> steps;
    RunDialog("SETTING", SettingDlgProc, [&](HWND box) {
        steps.push_back(ReadSettings(box));
        Click(box, IDC_DATETIP);
        steps.push_back(ReadSettings(box));
        Click(box, IDC_DATETIP);
        steps.push_back(ReadSettings(box));
    }, LeaveWithCancel);
    ASSERT_EQ(steps.size(), 3u);
    ExpectDateEnabled(steps[0], true, "opened with the tooltip on");
    ExpectDateEnabled(steps[1], false, "box cleared");
    ExpectDateEnabled(steps[2], true, "box ticked again");
    const std::vector<int> dateChecks = {IDC_ERAYEAR, IDC_UNITS};
    for (const SettingsShown &step : steps) {
        std::vector<int> date;
        for (int id : step.checked)
            if (id == IDC_ERAYEAR || id == IDC_UNITS || id == IDC_NOYEAR || id == IDC_WESTERNYEAR || id == IDC_SLASHES)
                date.push_back(id);
        EXPECT_EQ(date, dateChecks) << "the radios keep their checks";
    }
}

namespace {

// What a static is told when it asks for its colours.
struct StaticColours {
    INT_PTR brush;
    COLORREF text;
    int backgroundMode;
    LOGFONTA font;
    HFONT fontHandle;
    HFONT given; // the font the static itself holds
};

StaticColours AskColours(HWND dialog, int id)
{
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    StaticColours seen = {};
    HWND control = GetDlgItem(dialog, id);
    seen.brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
    seen.text = GetTextColor(dc);
    seen.backgroundMode = GetBkMode(dc);
    seen.fontHandle = (HFONT)GetCurrentObject(dc, OBJ_FONT);
    GetObjectA(seen.fontHandle, sizeof seen.font, &seen.font);
    seen.given = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    DeleteDC(dc);
    return seen;
}

struct FontSeen {
    int height, weight, italic, underline, charSet;
    const char *face;
};

void ExpectColouredStatic(HWND dialog, int id, COLORREF colour, FontSeen font, const char *what)
{
    StaticColours seen = AskColours(dialog, id);
    EXPECT_EQ(seen.brush, (INT_PTR)GetStockObject(NULL_BRUSH)) << what << ": no background of its own";
    EXPECT_EQ(seen.text, colour) << what;
    EXPECT_EQ(seen.backgroundMode, TRANSPARENT) << what;
    EXPECT_EQ(seen.fontHandle, seen.given) << what << ": the static draws in the font it was given";
    EXPECT_EQ(seen.font.lfHeight, font.height) << what;
    EXPECT_EQ(seen.font.lfWidth, 0) << what;
    EXPECT_EQ(seen.font.lfWeight, font.weight) << what;
    EXPECT_EQ(seen.font.lfItalic, font.italic) << what;
    EXPECT_EQ(seen.font.lfUnderline, font.underline) << what;
    EXPECT_EQ(seen.font.lfStrikeOut, 0) << what;
    EXPECT_EQ(seen.font.lfCharSet, font.charSet) << what;
    EXPECT_STREQ(seen.font.lfFaceName, font.face) << what;
}

void ExpectPlainStatic(HWND dialog, int id, const char *what)
{
    StaticColours seen = AskColours(dialog, id);
    EXPECT_EQ(seen.brush, (INT_PTR)GetSysColorBrush(COLOR_BTNFACE)) << what << ": the dialog's own face";
    EXPECT_EQ(seen.text, GetSysColor(COLOR_WINDOWTEXT)) << what;
    EXPECT_EQ(seen.backgroundMode, OPAQUE) << what;
}

bool ShowsHand(HWND dialog, int id)
{
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    LRESULT taken = SendMessageA(dialog, WM_SETCURSOR, (WPARAM)GetDlgItem(dialog, id), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return taken && GetCursor() == AppState.LinkCursor;
}

// Pixels of a colour inside a control, as painted.
int PaintedIn(HWND dialog, int id, COLORREF colour)
{
    HWND control = GetDlgItem(dialog, id);
    RedrawWindow(control, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    WindowPixels pixels = ReadWindowPixels(control);
    int count = 0;
    for (unsigned pixel : pixels.pixels)
        count += pixel == PixelOf(colour);
    return count;
}

// The longest run of a colour along one row of a control: an underline
// runs under the whole text.
int LongestRow(HWND dialog, int id, COLORREF colour)
{
    WindowPixels pixels = ReadWindowPixels(GetDlgItem(dialog, id));
    int longest = 0;
    for (int y = 0; y < pixels.height; y++) {
        int run = 0;
        for (int x = 0; x < pixels.width; x++) {
            run = pixels.at(x, y) == PixelOf(colour) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

void Follow(HWND box, int id)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), (LPARAM)GetDlgItem(box, id));
}

void SetSkinText(unsigned char field[256], const char *text)
{
    memset(field, 0, 256);
    memcpy(field, text, strlen(text));
}

const COLORREF Blue = RGB(0, 0, 255), Purple = RGB(128, 0, 128);
const FontSeen SupportLinkFont = {15, 0, 0, 1, DEFAULT_CHARSET, "Times New Roman"};
const FontSeen PropertyLinkFont = {12, 0, 0, 1, SHIFTJIS_CHARSET, "ＭＳ Ｐゴシック"};

} // namespace

TEST_F(DialogsAbout, ColouredTextsAndALinkThatTurnsPurpleOnceFollowed)
{
    RecordAddressesOpened();
    int room = 0;
    HFONT fontsMade[3] = {};
    INT_PTR result = RunDialog("ABOUT", AboutDlgProc, [&](HWND box) {
        EXPECT_TRUE(CentredAndOnTop(box));
        ExpectColouredStatic(box, IDC_SUPPORTLINK, Blue, SupportLinkFont, "support link");
        ExpectColouredStatic(box, IDC_PRODUCTNAME, RGB(220, 0, 0), {35, FW_BOLD, 1, 0, DEFAULT_CHARSET, "Times New Roman"},
                             "product name");
        ExpectColouredStatic(box, IDC_EDITION, RGB(0, 0, 220), {20, FW_BOLD, 0, 0, DEFAULT_CHARSET, "Times New Roman"},
                             "edition");
        ExpectPlainStatic(box, -1, "a label");
        EXPECT_GT(PaintedIn(box, IDC_SUPPORTLINK, Blue), 30) << "the link is painted blue";
        EXPECT_GT(LongestRow(box, IDC_SUPPORTLINK, Blue), 100) << "and underlined";
        EXPECT_GT(PaintedIn(box, IDC_PRODUCTNAME, RGB(220, 0, 0)), 200) << "the product name, large and red";
        EXPECT_GT(PaintedIn(box, IDC_EDITION, RGB(0, 0, 220)), 50);
        EXPECT_TRUE(ShowsHand(box, IDC_SUPPORTLINK));
        EXPECT_FALSE(ShowsHand(box, IDC_EDITION));
        // The fonts are made once for the opening, however often it paints.
        room = GdiRoom();
        for (int id : {IDC_SUPPORTLINK, IDC_PRODUCTNAME, IDC_EDITION})
            fontsMade[id == IDC_SUPPORTLINK ? 0 : id == IDC_PRODUCTNAME ? 1 : 2] = AskColours(box, id).fontHandle;
        for (int i = 0; i < 2000; i++)
            AskColours(box, i % 2 ? IDC_SUPPORTLINK : IDC_PRODUCTNAME);
        EXPECT_LE(room - GdiRoom(), 2) << "objects made by 2,000 colour requests";
        EXPECT_EQ(AskColours(box, IDC_SUPPORTLINK).fontHandle, fontsMade[0]);
    }, [](HWND box) { Follow(box, IDC_SUPPORTLINK); });
    EXPECT_EQ(result, 0) << "a followed link ends the dialog with 0";
    EXPECT_EQ(AddressOpened(), "https://tickperch.invalid/") << "the exact address reaches the shell";
    for (HFONT font : fontsMade)
        EXPECT_EQ(GetObjectType(font), 0u) << "the dialog's fonts go with it";

    // Opened again in the same run, the link is purple.
    result = RunDialog("ABOUT", AboutDlgProc, [&](HWND box) {
        ExpectColouredStatic(box, IDC_SUPPORTLINK, Purple, SupportLinkFont, "followed link");
        EXPECT_GT(PaintedIn(box, IDC_SUPPORTLINK, Purple), 30);
        EXPECT_EQ(PaintedIn(box, IDC_SUPPORTLINK, Blue), 0);
    }, LeaveWithOk);
    EXPECT_EQ(result, 0);
}

TEST_F(DialogsAbout, EscapeClosesNeitherDialogWhileOkEnterCloseButtonAndAltF4Do)
{
    const struct {
        const char *way;
        void (*leave)(HWND);
        bool closes;
    } ways[] = {{"Escape", LeaveWithEscape, false},  {"Cancel", LeaveWithCancel, false},
                {"OK", LeaveWithOk, true},           {"Enter", LeaveWithEnter, true},
                {"close button", LeaveWithCloseButton, true}, {"Alt+F4", LeaveWithAltF4, true}};
    const struct {
        const char *name;
        DLGPROC procedure;
    } dialogs[] = {{"ABOUT", AboutDlgProc}, {"PROPERTY", PropertyDlgProc}};
    for (const auto &dialog : dialogs) {
        for (const auto &way : ways) {
            // The key or click goes through the dialog's own loop; a while
            // later the dialog is either gone or closed with OK.
            HWND box = NULL;
            DWORD leftAt = 0;
            bool stillOpen = false;
            ModalDriver driver([&] {
                if (!box) {
                    box = DialogOwnedBy(AppState.ClockWindow);
                    if (box) {
                        way.leave(box);
                        leftAt = GetTickCount();
                    }
                    return false;
                }
                if (GetTickCount() - leftAt < 300)
                    return false;
                stillOpen = IsWindow(box) && IsWindowVisible(box);
                if (stillOpen)
                    PressButton(box, IDOK);
                return true;
            });
            INT_PTR result = DialogBoxParamA(AppState.AppInstance, dialog.name, clock, dialog.procedure, 0);
            EXPECT_FALSE(driver.timedOut()) << dialog.name << ", " << way.way;
            EXPECT_EQ(stillOpen, !way.closes) << dialog.name << ", " << way.way;
            EXPECT_EQ(result, 0) << dialog.name << ", " << way.way;
        }
    }
}

TEST_F(DialogsProperty, LiveLinksForPlainAddressesDecidedAtEveryOpening)
{
    RecordAddressesOpened();
    memset(&SkinHeader, 0, sizeof SkinHeader);
    SetSkinText(SkinHeader.author, "作者の名前");
    SetSkinText(SkinHeader.dataName, "夜の時計");
    SetSkinText(SkinHeader.homePage, "http://example.invalid/skins?id=7&x=1");
    SetSkinText(SkinHeader.mailAddress, "someone@example.invalid");

    // First opening: both are blue links; the home page is followed.
    INT_PTR result = RunDialog("PROPERTY", PropertyDlgProc, [&](HWND box) {
        EXPECT_TRUE(CentredAndOnTop(box));
        EXPECT_EQ(WindowText(GetDlgItem(box, IDC_AUTHOR)), "作者の名前");
        EXPECT_EQ(WindowText(GetDlgItem(box, IDC_DATANAME)), "夜の時計");
        EXPECT_EQ(WindowText(GetDlgItem(box, IDC_HOMEPAGE)), "http://example.invalid/skins?id=7&x=1");
        ExpectColouredStatic(box, IDC_HOMEPAGE, Blue, PropertyLinkFont, "home page");
        ExpectColouredStatic(box, IDC_MAILADDRESS, Blue, PropertyLinkFont, "mail");
        ExpectPlainStatic(box, IDC_AUTHOR, "author");
        EXPECT_GT(PaintedIn(box, IDC_HOMEPAGE, Blue), 30);
        EXPECT_TRUE(ShowsHand(box, IDC_HOMEPAGE));
        EXPECT_TRUE(ShowsHand(box, IDC_MAILADDRESS));
        EXPECT_FALSE(ShowsHand(box, IDC_AUTHOR));
    }, [](HWND box) { Follow(box, IDC_HOMEPAGE); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(AddressOpened(), "http://example.invalid/skins?id=7&x=1");

    // Second: the home page is purple, the mail link still blue; it is
    // handed over as mailto: directly followed by the address.
    ForgetAddressesOpened();
    result = RunDialog("PROPERTY", PropertyDlgProc, [&](HWND box) {
        ExpectColouredStatic(box, IDC_HOMEPAGE, Purple, PropertyLinkFont, "followed home page");
        ExpectColouredStatic(box, IDC_MAILADDRESS, Blue, PropertyLinkFont, "mail");
    }, [](HWND box) { Follow(box, IDC_MAILADDRESS); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(AddressOpened(), "mailto:someone@example.invalid");

    // Another skin whose texts are no plain addresses, and one without any:
    // the fields are plain text, the hand never shows, a click does nothing.
    const struct {
        const char *homePage, *mail, *homeShown, *mailShown;
    } skins[] = {// Names no program: should the rule fail, the test must not start one.
                 {"file:///C:/tkp-no-such-folder/run.exe", "someone@example.invalid?body=x",
                  "file:///C:/tkp-no-such-folder/run.exe", "someone@example.invalid?body=x"},
                 {"", "", "（ 非公開 ）", "（ 非公開 ）"}};
    for (const auto &skin : skins) {
        SetSkinText(SkinHeader.homePage, skin.homePage);
        SetSkinText(SkinHeader.mailAddress, skin.mail);
        ForgetAddressesOpened();
        bool stillOpen = false;
        result = RunDialog("PROPERTY", PropertyDlgProc, [&](HWND box) {
            EXPECT_EQ(WindowText(GetDlgItem(box, IDC_HOMEPAGE)), skin.homeShown);
            EXPECT_EQ(WindowText(GetDlgItem(box, IDC_MAILADDRESS)), skin.mailShown);
            for (int id : {IDC_HOMEPAGE, IDC_MAILADDRESS}) {
                ExpectPlainStatic(box, id, skin.homeShown);
                EXPECT_FALSE(ShowsHand(box, id)) << skin.homeShown;
                EXPECT_NE(AskColours(box, id).font.lfUnderline, 1) << skin.homeShown;
            }
        }, [&](HWND box) {
            Follow(box, IDC_HOMEPAGE);
            Follow(box, IDC_MAILADDRESS);
            PumpMessages(300);
            stillOpen = IsWindowVisible(box) != 0;
            PressButton(box, IDOK);
        });
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(stillOpen) << skin.homeShown << ": a click on plain text leaves the dialog open";
        EXPECT_EQ(AddressOpened(1500), "") << skin.homeShown << ": nothing reaches the shell";
    }
}
