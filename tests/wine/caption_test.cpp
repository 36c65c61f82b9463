// The gradient caption of the program's dialogs, read back from the window.
#include <windows.h>

#include <gtest/gtest.h>

#include "allocseam.h"
#include "base/appstate.h"
#include "dialogkit.h"
#include "dialogs/caption.h"
#include "dialogs/dialogs.h"
#include "dialogs/gradient.h"
#include "res/resource.h"
#include "testkit.h"

namespace {

// The painter's per-window record, in the order of its fields.
struct CaptionRecordSeen {
    int active, cachedWidth, cachedHeight;
    HBITMAP inactiveBitmap, activeBitmap;
    HFONT captionFont;
};

const CaptionRecordSeen *RecordOf(HWND dialog)
{
    return (const CaptionRecordSeen *)GetWindowLongPtrA(dialog, GWLP_USERDATA);
}

// Where the caption of a dialog with a fixed frame lies in its window.
struct CaptionPlace {
    int left, top, width, height;
};

CaptionPlace CaptionOf(HWND dialog)
{
    RECT rect = WindowRect(dialog);
    CaptionPlace place;
    place.left = GetSystemMetrics(SM_CXDLGFRAME);
    place.top = GetSystemMetrics(SM_CYDLGFRAME);
    place.width = rect.right - rect.left - 2 * place.left;
    place.height = GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER);
    return place;
}

// Each column of the caption's top and bottom rows (above and below the
// button and the text) has the colour of the fill that covers it.
void ExpectGradient(HWND dialog, bool active, const char *when)
{
    CaptionPlace caption = CaptionOf(dialog);
    COLORREF base = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    int buttonArea = GetSystemMetrics(SM_CXSIZE) + 2; // a close button only
    CaptionFill fills[GRADIENT_MAX_FILLS];
    int count = ComputeCaptionFills(caption.width, buttonArea, base, fills);
    ASSERT_GT(count, 60) << "strips of a caption this wide";

    WindowPixels window = ReadWindowPixels(dialog);
    int wrong = 0;
    for (int row : {caption.top, caption.top + caption.height - 1}) {
        for (int i = 0; i < count; i++) {
            for (int x = fills[i].left; x < fills[i].right; x++) {
                unsigned seen = window.at(caption.left + x, row);
                if (seen != PixelOf(fills[i].colour) && wrong++ < 5)
                    ADD_FAILURE() << when << ": column " << x << " row " << row << " is " << std::hex << seen
                                  << ", fill " << i << " is " << PixelOf(fills[i].colour);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << when;
    // The leftmost remainder and the plain colour behind the close button.
    int bottom = caption.top + caption.height - 1;
    EXPECT_EQ(window.at(caption.left, bottom), 0x040000u) << when;
    EXPECT_EQ(window.at(caption.left + caption.width - 1, bottom), PixelOf(base)) << when;
    EXPECT_EQ(window.at(caption.left + caption.width - buttonArea, caption.top), PixelOf(base)) << when;
    auto brightness = [](unsigned pixel) { return (pixel >> 16) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF); };
    EXPECT_LT(brightness(window.at(caption.left + caption.width / 2, bottom)), brightness(PixelOf(base)))
        << when << ": darker towards the left";
}

// Pixels of the caption text's colour between the left edge and the buttons.
int TextInk(HWND dialog, bool active)
{
    CaptionPlace caption = CaptionOf(dialog);
    unsigned ink = PixelOf(GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    WindowPixels window = ReadWindowPixels(dialog);
    int count = 0;
    for (int y = caption.top + 1; y < caption.top + caption.height - 1; y++)
        for (int x = caption.left + 2; x < caption.left + caption.width - GetSystemMetrics(SM_CXSIZE) - 2; x++)
            count += window.at(x, y) == ink;
    return count;
}

std::vector<unsigned> CaptionPixels(HWND dialog)
{
    CaptionPlace caption = CaptionOf(dialog);
    WindowPixels window = ReadWindowPixels(dialog);
    std::vector<unsigned> pixels;
    for (int y = caption.top; y < caption.top + caption.height; y++)
        for (int x = caption.left; x < caption.left + caption.width; x++)
            pixels.push_back(window.at(x, y));
    return pixels;
}

void Scribble(HWND dialog)
{
    CaptionPlace caption = CaptionOf(dialog);
    HDC dc = GetWindowDC(dialog);
    PatBlt(dc, caption.left, caption.top, caption.width, caption.height, WHITENESS);
    ReleaseDC(dialog, dc);
}

bool Scribbled(HWND dialog)
{
    CaptionPlace caption = CaptionOf(dialog);
    return ReadWindowPixels(dialog).at(caption.left, caption.top) == 0xFFFFFFu;
}

// The dialog brought to the front and painted; NULL when it was not made.
HWND InFront(const OpenedDialog &opened)
{
    HWND dialog = opened.window();
    if (dialog) {
        MakeForeground(dialog);
        PumpMessages(50);
    }
    return dialog;
}

class Caption : public testing::Test {
protected:
    void SetUp() override { InitCaptionPainter(); }
    void TearDown() override { InitCaptionPainter(); }
};

} // namespace

TEST_F(Caption, GradientFollowsActivationAtOnce)
{
    OpenedDialog about("ABOUT", AboutDlgProc);
    HWND dialog = about.window();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog; }));
    PumpMessages(50);
    ExpectGradient(dialog, true, "opened");
    EXPECT_GT(TextInk(dialog, true), 20) << "the title is drawn in the caption text colour";

    // Another window comes to the front: the inactive colours, at once.
    HWND other = MakeTestWindow(20, 20, 200, 100);
    MakeForeground(other);
    PumpMessages(50);
    ExpectGradient(dialog, false, "deactivated");
    EXPECT_GT(TextInk(dialog, false), 20);

    MakeForeground(dialog);
    PumpMessages(50);
    ExpectGradient(dialog, true, "activated again");
    DestroyWindow(other);
}

TEST_F(Caption, DisabledShowsInactiveAndAnUnchangedStateDoesNothing)
{
    OpenedDialog about("ABOUT", AboutDlgProc);
    HWND dialog = InFront(about);
    ASSERT_TRUE(dialog);
    SendMessageA(dialog, WM_NCACTIVATE, TRUE, 0);
    ExpectGradient(dialog, true, "enabled");

    // The same state again is taken and nothing is drawn.
    Scribble(dialog);
    EXPECT_EQ(SendMessageA(dialog, WM_NCACTIVATE, TRUE, 0), 1);
    EXPECT_TRUE(Scribbled(dialog)) << "an unchanged state repaints nothing";

    EnableWindow(dialog, FALSE);
    EXPECT_EQ(SendMessageA(dialog, WM_NCACTIVATE, TRUE, 0), 1);
    ExpectGradient(dialog, false, "disabled, told it is active");
    EXPECT_EQ(RecordOf(dialog)->active, 0);

    EnableWindow(dialog, TRUE);
    SendMessageA(dialog, WM_NCACTIVATE, TRUE, 0);
    ExpectGradient(dialog, true, "enabled again");
}

TEST_F(Caption, NewTitleIsPaintedAtOnceAndSetTextReportsSuccess)
{
    OpenedDialog about("ABOUT", AboutDlgProc);
    HWND dialog = InFront(about);
    ASSERT_TRUE(dialog);
    std::vector<unsigned> before = CaptionPixels(dialog);
    int inkBefore = TextInk(dialog, true);

    EXPECT_TRUE(SetWindowTextA(dialog, "Tickperch Orvel - 新しい題名です")) << "the text change answers 1";
    char text[64] = "";
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Tickperch Orvel - 新しい題名です") << "the platform keeps the text";
    std::vector<unsigned> after = CaptionPixels(dialog);
    EXPECT_NE(after, before) << "the caption shows the new title";
    EXPECT_GT(TextInk(dialog, true), inkBefore) << "a longer title has more ink";

    // Exactly what a caption rendered afresh from the new title shows.
    SendMessageA(dialog, WM_SYSCOLORCHANGE, 0, 0);
    SendMessageA(dialog, WM_NCPAINT, 1, 0);
    EXPECT_EQ(CaptionPixels(dialog), after);
    ExpectGradient(dialog, true, "after the title change");
}

TEST_F(Caption, PartialPaintsOutsideTheCaptionLeaveItAlone)
{
    OpenedDialog about("ABOUT", AboutDlgProc);
    HWND dialog = InFront(about);
    ASSERT_TRUE(dialog);
    RECT rect = WindowRect(dialog);

    // A region over the bottom frame only: the caption is not touched.
    Scribble(dialog);
    HRGN bottom = CreateRectRgn(rect.left, rect.bottom - 3, rect.right, rect.bottom);
    EXPECT_EQ(SendMessageA(dialog, WM_NCPAINT, (WPARAM)bottom, 0), 1);
    EXPECT_TRUE(Scribbled(dialog));
    // A region that reaches the caption paints it, and the caller's region lives on.
    HRGN top = CreateRectRgn(rect.left, rect.top, rect.right, rect.top + 10);
    SendMessageA(dialog, WM_NCPAINT, (WPARAM)top, 0);
    EXPECT_FALSE(Scribbled(dialog));
    ExpectGradient(dialog, true, "after a partial paint");
    EXPECT_EQ(GetObjectType(top), (DWORD)OBJ_REGION);
    EXPECT_EQ(GetObjectType(bottom), (DWORD)OBJ_REGION);
    DeleteObject(top);
    DeleteObject(bottom);
}

TEST_F(Caption, CachedPicturesAreReusedAndNothingIsLeftBehind)
{
    HBITMAP bitmaps[2];
    HFONT font;
    {
        OpenedDialog about("ABOUT", AboutDlgProc);
        HWND dialog = InFront(about);
        ASSERT_TRUE(dialog);
        SendMessageA(dialog, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(dialog, WM_NCPAINT, 1, 0);
        const CaptionRecordSeen *record = RecordOf(dialog);
        ASSERT_TRUE(record);
        HBITMAP active = record->activeBitmap;
        ASSERT_TRUE(active);
        EXPECT_EQ(record->cachedWidth, CaptionOf(dialog).width);
        EXPECT_EQ(record->cachedHeight, CaptionOf(dialog).height);

        int room = GdiRoom();
        for (int i = 0; i < 3000; i++)
            SendMessageA(dialog, WM_NCPAINT, 1, 0);
        EXPECT_EQ(record->activeBitmap, active) << "a non-client paint copies the cached picture";
        EXPECT_EQ(record->inactiveBitmap, (HBITMAP)NULL) << "only the state in force is rendered";
        for (int i = 0; i < 300; i++) {
            SendMessageA(dialog, WM_NCACTIVATE, i % 2, 0); // each change renders anew
            SendMessageA(dialog, WM_SETTINGCHANGE, 0, 0);
            SendMessageA(dialog, WM_NCPAINT, 1, 0);
        }
        EXPECT_LE(room - GdiRoom(), 4) << "objects left behind by 3,600 caption paints";
        ExpectGradient(dialog, true, "after many paints"); // the last change was to active
        bitmaps[0] = record->activeBitmap;
        bitmaps[1] = record->inactiveBitmap;
        font = record->captionFont;
        EXPECT_TRUE(font);
    }
    // The record goes with its window, and what it held with it.
    EXPECT_EQ(GetObjectType(bitmaps[0]), 0u);
    EXPECT_EQ(GetObjectType(bitmaps[1]), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}

TEST_F(Caption, WithoutItsRecordADialogKeepsThePlatformsCaptionAndSkipsItsSetUp)
{
    const struct {
        const char *name;
        DLGPROC procedure;
    } dialogs[] = {{"SETTING", SettingDlgProc}, {"ABOUT", AboutDlgProc}, {"PROPERTY", PropertyDlgProc}};
    AppState.ClockOptions.timeSys = 24;
    AppState.ClockOptions.tray = 1;
    for (const auto &each : dialogs) {
        GlobalAllocFails failing;
        HWND dialog = CreateDialogParamA(AppState.AppInstance, each.name, NULL, each.procedure, 0);
        ASSERT_TRUE(dialog) << each.name;
        EXPECT_GE(failing.refused(), 1) << each.name;
        EXPECT_EQ(GetWindowLongPtrA(dialog, GWLP_USERDATA), 0) << each.name;
        EXPECT_FALSE(IsWindowVisible(dialog)) << each.name << ": its own set-up would show it";
        EXPECT_EQ(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << each.name;
        EXPECT_EQ(each.procedure(dialog, WM_INITDIALOG, 0, 0), -1) << each.name;
        if (each.procedure == SettingDlgProc) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_HOURS24), 0u) << "the template's state: nothing checked";
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_TRAYICON), 0u);
        }
        // No later message is taken: the platform draws its own caption.
        LRESULT result = 12345;
        EXPECT_FALSE(CaptionDlgFilter(dialog, WM_NCPAINT, 1, 0, &result)) << each.name;
        EXPECT_FALSE(CaptionDlgFilter(dialog, WM_NCACTIVATE, 1, 0, &result)) << each.name;
        EXPECT_EQ(result, 12345);
        DestroyWindow(dialog);
    }
}

TEST_F(Caption, OnWindowsThatPaintGradientsThePainterStaysOff)
{
    const struct {
        DWORD version;
        bool painted;
    } versions[] = {{0x0004, true}, {0x0A04, false}, {0x5A04, false}, {0x0005, true}, {0x0105, true}};
    for (const auto &each : versions) {
        InitCaptionPainterForVersion(each.version);
        OpenedDialog about("ABOUT", AboutDlgProc);
        HWND dialog = InFront(about);
        ASSERT_TRUE(dialog);
        CaptionPlace caption = CaptionOf(dialog);
        unsigned corner = ReadWindowPixels(dialog).at(caption.left, caption.top + caption.height - 1);
        EXPECT_EQ(corner == 0x040000u, each.painted) << std::hex << each.version;
        EXPECT_EQ(GetWindowLongPtrA(dialog, GWLP_USERDATA) != 0, each.painted) << std::hex << each.version;
        LRESULT result = 0;
        EXPECT_EQ(CaptionDlgFilter(dialog, WM_SYSCOLORCHANGE, 0, 0, &result) != 0, each.painted);
    }
}
