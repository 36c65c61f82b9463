// The three dialogs as a user meets them: opened from the clock's popup
// menu, with the clock out of the way while they are up.
#include <string.h>

#include "e2ekit.h"
#include "phases.h"

static unsigned PixelOf(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

static unsigned Brightness(unsigned pixel)
{
    return (pixel >> 16) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
}

// The caption's bottom row on screen: RGB(4, 0, 0) at the left edge,
// growing lighter to the plain caption colour behind the close button.
// What differs, or "" when it is so.
static std::string GradientFault(HWND dialog)
{
    RECT window = Rect(dialog);
    int frame = GetSystemMetrics(SM_CXDLGFRAME);
    int row = window.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER) - 1;
    std::vector<unsigned> pixels = CaptureScreen(RECT{window.left + frame, row, window.right - frame, row + 1});
    unsigned base = PixelOf(GetSysColor(COLOR_ACTIVECAPTION));
    bool rising = true;
    for (size_t x = 1; x < pixels.size(); x++)
        rising = rising && Brightness(pixels[x]) >= Brightness(pixels[x - 1]);
    if (pixels.front() == 0x040000 && pixels.back() == base && rising)
        return "";
    return Format(" (left %06x, right %06x for %06x, rising %d)", pixels.front(), pixels.back(), base, rising);
}

// Brings the perch to the front (a followed link leaves the foreground to
// the program that opened it, and the clock hides), then opens a dialog
// through the clock's menu with the item's mnemonic.
static HWND OpenFromMenu(HWND clock, HWND perch, char mnemonic, const char *caption)
{
    Activate(perch);
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, 500)), Format("the clock perches before %s", caption));
    RECT rect = Rect(clock);
    bool menu = OpenMenuWithRightClick(POINT{rect.left + 40, rect.top + 20}, clock) != NULL;
    CHECK(menu, Format("a right click on the clock opens the menu for %s", caption));
    HWND dialog = NULL;
    PressKeyUntil((BYTE)mnemonic, [&] { return (dialog = FindWindowA("#32770", caption)) != NULL; });
    CHECK(dialog != NULL, Format("the menu opens %s", caption));
    if (dialog) {
        CHECK(!IsWindowVisible(clock), Format("the clock is hidden while %s is up", caption));
        // Placed and painted: its caption shows (the checks of it follow).
        PumpUntil([&] { return GradientFault(dialog).empty(); }, ComesWithin);
    }
    return dialog;
}

static void ExpectGradientOnScreen(HWND dialog, const char *caption)
{
    std::string fault = GradientFault(dialog);
    CHECK(fault.empty(), Format("%s has the gradient caption", caption) + fault);
}

static int CountOnScreen(const RECT &area, unsigned pixel)
{
    std::vector<unsigned> pixels = CaptureScreen(area);
    int count = 0;
    for (unsigned each : pixels)
        count += each == pixel;
    return count;
}

static RECT ItemRect(HWND dialog, int id)
{
    return Rect(GetDlgItem(dialog, id));
}

// The AM (blue) or PM (red) mark in the built-in skin's grey box.
static bool ShowsMeridiem(HWND clock)
{
    RECT rect = Rect(clock);
    RECT box = {rect.left + 6, rect.top + 12, rect.left + 20, rect.top + 30};
    return CountOnScreen(box, 0x0000FF) + CountOnScreen(box, 0xFF0000) > 10;
}

static void DialogsFromTheMenu()
{
    RecordPagesOpened();
    WriteSetting("OPTION", "TIMESYS", "24");
    PerchedClock run;
    StartOnPerch(run);
    HWND perch = run.perch, clock = run.clock;
    POINT docked = PerchPoint(perch, 500);
    CHECK(ClockSettlesAt(clock, docked), "the clock perches");
    CHECK(!ShowsMeridiem(clock), "24-hour face: no AM or PM mark");

    // Settings: the 12-hour choice reaches the face as soon as the clock is back.
    HWND settings = OpenFromMenu(clock, perch, 'S', "Tickperch OV - 設定");
    if (settings) {
        ExpectGradientOnScreen(settings, "the settings dialog");
        SaveScreenshot("settings.bmp");
        HWND twelve = GetDlgItem(settings, 1007); // 12時間制
        CHECK(ClickUntil(Middle(Rect(twelve)), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
                         [&] { return SendMessageA(twelve, BM_GETCHECK, 0, 0) == BST_CHECKED; }),
              "a click chooses the 12-hour system");
        CHECK(ClickUntil(Middle(ItemRect(settings, IDOK)), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
                         [&] { return !IsWindow(settings); }),
              "OK closes the settings");
        DWORD closed = GetTickCount();
        bool marked = PumpUntil([&] { return IsWindowVisible(clock) && ShowsMeridiem(clock); }, ComesWithin);
        DWORD took = GetTickCount() - closed;
        CHECK(marked && took <= 1000, Format("within a second the face shows the AM or PM mark (%lu ms)", took));
        SaveScreenshot("settings-applied.bmp");
        CHECK(ClockSettlesAt(clock, docked), "and the clock is back on its perch");
    }

    // Version information: the link is blue, followed it opens the address
    // and closes the dialog; opened again it is purple.
    HWND about = OpenFromMenu(clock, perch, 'A', "ﾊﾞｰｼﾞｮﾝ情報");
    if (about) {
        ExpectGradientOnScreen(about, "the version dialog");
        RECT link = ItemRect(about, 1000);
        CHECK(PumpUntil([&] { return CountOnScreen(link, 0x0000FF) > 30 && CountOnScreen(link, 0x800080) == 0; },
                        ComesWithin),
              "its link is blue");
        CHECK(ClickUntil(Middle(link), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, [&] { return !IsWindow(about); }),
              "a click on the link closes the dialog");
        CHECK(PumpUntil([] { return !PageOpened().empty(); }, ComesWithin) && PageOpened() == "https://tickperch.invalid/",
              "and hands its address to the shell: " + PageOpened());
        CHECK(PumpUntil([&] { return IsWindowVisible(clock); }, ComesWithin), "the clock comes back");
    }
    about = OpenFromMenu(clock, perch, 'A', "ﾊﾞｰｼﾞｮﾝ情報");
    if (about) {
        RECT link = ItemRect(about, 1000);
        CHECK(PumpUntil([&] { return CountOnScreen(link, 0x800080) > 30 && CountOnScreen(link, 0x0000FF) == 0; },
                        ComesWithin),
              "opened again, the followed link is purple");
        SaveScreenshot("about.bmp");
        PressKey(VK_ESCAPE);
        PumpMessages(300);
        CHECK(IsWindowVisible(about), "Escape does not close the version dialog");
        CHECK(PressKeyUntil(VK_RETURN, [&] { return !IsWindow(about); }), "Enter does");
        CHECK(PumpUntil([&] { return IsWindowVisible(clock); }, ComesWithin), "the clock comes back");
    }

    // Data properties of the built-in skin: its credits, the home page and
    // the mail address as blue links.
    HWND property = OpenFromMenu(clock, perch, 'P', "ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ");
    if (property) {
        ExpectGradientOnScreen(property, "the data properties");
        char mail[64] = "";
        GetDlgItemTextA(property, 1005, mail, sizeof mail);
        CHECK(strcmp(mail, "tickperch@tickperch.invalid") == 0, std::string("the built-in skin's mail address: ") + mail);
        CHECK(PumpUntil([&] { return CountOnScreen(ItemRect(property, 1004), 0x0000FF) > 30; }, ComesWithin),
              "its home page is a blue link");
        CHECK(PumpUntil([&] { return CountOnScreen(ItemRect(property, 1005), 0x0000FF) > 30; }, ComesWithin),
              "and its mail address");
        SaveScreenshot("property.bmp");
        PressKey(VK_ESCAPE);
        PumpMessages(300);
        CHECK(IsWindowVisible(property), "Escape does not close the data properties");
        bool closed = false;
        for (int attempt = 0; attempt < 3 && !closed; attempt++) {
            PressAltKey(VK_F4);
            closed = PumpUntil([&] { return !IsWindow(property); }, 1500);
        }
        CHECK(closed, "Alt+F4 does");
        CHECK(PumpUntil([&] { return IsWindowVisible(clock); }, ComesWithin), "the clock comes back");
    }
    property = OpenFromMenu(clock, perch, 'P', "ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ");
    if (property) {
        CHECK(ClickUntil(Middle(ItemRect(property, 1005)), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
                         [&] { return !IsWindow(property); }),
              "a click on the mail address closes the dialog");
        CHECK(PumpUntil([] { return PageOpened().rfind("mailto:", 0) == 0; }, ComesWithin) &&
                  PageOpened() == "mailto:tickperch@tickperch.invalid",
              "and hands mailto: and the address to the shell: " + PageOpened());
    }

    ExitClock(clock);
    CHECK(run.process.waitExit() == 0, "the clock ends cleanly");
    CHECK(ReadSetting("OPTION", "TIMESYS") == "12", "the 12-hour choice is written at exit");
}

const Phase DialogPhases[] = {
    {"dialogs", DialogsFromTheMenu},
    {NULL, NULL},
};
