// The date tooltip: the control made with the clock window, the text it is
// given for each date form, and the mouse relay that makes it show.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "base/appstate.h"
#include "menukit.h"
#include "testkit.h"

namespace {

// The date as the tip shows it, worked out here from the calendar: the era
// that a date falls in starts on its own first day.
std::string DateTip(const SYSTEMTIME &now, int year, int slash)
{
    int y = now.wYear, m = now.wMonth, d = now.wDay;
    long date = y * 10000L + m * 100 + d;
    const char *era = date >= 20190501 ? "令和" : date >= 19890108 ? "平成" : "昭和";
    int eraYear = y - (date >= 20190501 ? 2018 : date >= 19890108 ? 1988 : 1925);
    char text[64] = "";
    switch (year) {
    case 0:
        snprintf(text, sizeof text, slash ? "%d月%d日" : "%d/%d", m, d);
        break;
    case 1:
        snprintf(text, sizeof text, slash ? "%d年%d月%d日" : "%d/%d/%d", y, m, d);
        break;
    case 2:
        snprintf(text, sizeof text, slash ? "%s%d年%d月%d日" : "%s%d/%d/%d", era, eraYear, m, d);
        break;
    }
    return text;
}

// A text notification as the tooltip control sends it, with guard values
// in everything the clock must not write.
struct NeedText {
    NMTTDISPINFO info;
    char after[32];
};

const LPTSTR ControlText = (LPTSTR)0x1234;

void Prepare(NeedText &request, HWND from, UINT code)
{
    memset(&request, 'Q', sizeof request);
    request.info.hdr.hwndFrom = from;
    request.info.hdr.idFrom = 0;
    request.info.hdr.code = code;
    request.info.lpszText = ControlText;
    request.info.hinst = NULL;
    request.info.uFlags = 0x5A5A;
    request.info.lParam = 0x77;
}

class Tooltip : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();
    HWND tip = AppState.TooltipWindow;

    // Asks the clock for the tip text; returns the notification's result.
    LRESULT ask(NeedText &request, UINT code = TTN_NEEDTEXT)
    {
        Prepare(request, tip, code);
        return SendMessageA(clock, WM_NOTIFY, 0, (LPARAM)&request);
    }
    std::string textOf(const NeedText &request)
    {
        TCHAR text[ARRAYSIZE(request.info.szText) + 1] = {};
        memcpy(text, request.info.szText, sizeof request.info.szText);
        return FromT(text);
    }
    void expectGuardsKept(const NeedText &request, const char *what)
    {
        EXPECT_EQ(request.info.lpszText, ControlText) << what;
        EXPECT_EQ(request.info.uFlags, 0x5A5Au) << what;
        EXPECT_EQ(request.info.lParam, 0x77) << what;
        for (char guard : request.after)
            ASSERT_EQ(guard, 'Q') << what;
    }
};

} // namespace

TEST_F(Tooltip, ControlBelongsToTheClockWithOneCallbackTool)
{
    ASSERT_TRUE(IsWindow(tip));
    EXPECT_EQ(WindowClass(tip), TOOLTIPS_CLASSA);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), clock);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_STYLE) & TTS_ALWAYSTIP) << "the clock is seldom the active window";

    ASSERT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    char text[256] = "";
    tool.lpszText = text; // the control writes a text, or says it asks for one
    ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, 0, (LPARAM)&tool));
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
    EXPECT_FALSE(tool.uFlags & TTF_SUBCLASS) << "mouse messages are relayed by hand";
    EXPECT_EQ(tool.hwnd, clock);
    EXPECT_EQ(tool.uId, (UINT_PTR)clock);
    EXPECT_EQ(tool.lpszText, LPSTR_TEXTCALLBACKA);

    // Only the initial delay is ours; the others stay the control's own.
    HWND reference = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, clock, NULL, NULL, NULL);
    ASSERT_TRUE(reference);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0),
              SendMessageA(reference, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0),
              SendMessageA(reference, TTM_GETDELAYTIME, TTDT_RESHOW, 0));
    DestroyWindow(reference);

    DestroyWindow(clock);
    EXPECT_FALSE(IsWindow(tip)) << "it goes with the clock";
}

TEST_F(Tooltip, NeedTextGivesTheDateInEveryForm)
{
    AppState.ClockOptions.tooltip = 1;
    for (int year = 0; year <= 2; year++) {
        for (int slash : {0, 1, 7}) {
            AppState.ClockOptions.year = year;
            AppState.ClockOptions.slash = slash;
            SYSTEMTIME before, after;
            NeedText request;
            GetLocalTime(&before);
            LRESULT result = ask(request);
            GetLocalTime(&after);
            std::string text = textOf(request);
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(text == DateTip(before, year, slash) || text == DateTip(after, year, slash))
                << "year " << year << " slash " << slash << ": " << text;
            EXPECT_NE(memchr(request.info.szText, 0, sizeof request.info.szText), nullptr) << "ended in the record";
            expectGuardsKept(request, "date");
        }
    }

    // The unit characters are Shift-JIS bytes: 年 月 日.
    AppState.ClockOptions.year = 1;
    AppState.ClockOptions.slash = 1;
    NeedText request;
    ask(request);
    std::string text = textOf(request);
    EXPECT_NE(text.find("\x94\x4E"), std::string::npos) << text;
    EXPECT_NE(text.find("\x8C\x8E"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\x93\xFA");
}

TEST_F(Tooltip, NoTextWhenTurnedOffOrForAnUnknownYearForm)
{
    struct {
        int tooltip, year, slash;
    } cases[] = {{0, 0, 0}, {0, 1, 1}, {0, 2, 0}, {1, -1, 0}, {1, 3, 1}, {1, 1000, 0}, {1, INT_MIN, 1}};
    for (const auto &options : cases) {
        AppState.ClockOptions.tooltip = options.tooltip;
        AppState.ClockOptions.year = options.year;
        AppState.ClockOptions.slash = options.slash;
        NeedText request;
        EXPECT_EQ(ask(request), 1);
        EXPECT_EQ(request.info.szText[0], '\0')
            << "tooltip " << options.tooltip << " year " << options.year << ": " << textOf(request);
        expectGuardsKept(request, "empty");
    }
}

TEST_F(Tooltip, OnlyTheEditionsTextRequestIsAnsweredAndShowLetsTheControlPlaceTheTip)
{
    AppState.ClockOptions.tooltip = 1;
    AppState.ClockOptions.year = 1;
    NeedText request;
    EXPECT_EQ(ask(request, TTN_SHOW), 0);
    // The control asks in the clock window's own form: wide in the Unicode edition.
    const UINT otherForm = TTN_NEEDTEXT == TTN_NEEDTEXTA ? TTN_NEEDTEXTW : TTN_NEEDTEXTA;
    const UINT others[] = {TTN_POP, otherForm, TTN_LINKCLICK, NM_CLICK, 0};
    for (UINT code : others) {
        EXPECT_EQ(ask(request, code), 1) << (int)code;
        const char *bytes = (const char *)request.info.szText;
        for (size_t i = 0; i < sizeof request.info.szText; i++)
            ASSERT_EQ(bytes[i], 'Q') << "code " << (int)code << " wrote a text";
        expectGuardsKept(request, "other code");
    }
}

TEST_F(Tooltip, RelayedMouseShowsTheTipWithTheDate)
{
    AppState.ClockOptions.tooltip = 1;
    AppState.ClockOptions.year = 1;
    AppState.ClockOptions.slash = 0;
    SetWindowPos(clock, HWND_TOPMOST, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(clock, SW_SHOWNOACTIVATE);
    UpdateWindow(clock);
    POINT inside = PointInsideOutline(clock);
    POINT onScreen = inside;
    ClientToScreen(clock, &onScreen);
    POINT saved;
    GetCursorPos(&saved);
    SetCursorPos(onScreen.x, onScreen.y);
    ASSERT_EQ(WindowFromPoint(onScreen), clock);

    ClockSpy spy(clock);
    LPARAM at = MAKELPARAM(inside.x, inside.y);
    EXPECT_EQ(SendMessageA(clock, WM_MOUSEMOVE, 0, at), DefWindowProcA(clock, WM_MOUSEMOVE, 0, at));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; })) << "the tip shows after the delay";
    ASSERT_GE(spy.countNotify(TTN_NEEDTEXT), 1);
    SYSTEMTIME now;
    GetLocalTime(&now);
    for (const ClockSpy::Seen &seen : spy.seen) {
        if (seen.message == WM_NOTIFY && seen.notifyCode == TTN_NEEDTEXT) {
            EXPECT_EQ(seen.tipText, DateTip(now, 1, 0));
            EXPECT_EQ(seen.result, 1);
        }
        if (seen.message == WM_NOTIFY && seen.notifyCode == TTN_SHOW) {
            EXPECT_EQ(seen.result, 0);
        }
    }

    // A released left button reaches the control too, and hides the tip.
    EXPECT_EQ(SendMessageA(clock, WM_LBUTTONUP, 0, at), DefWindowProcA(clock, WM_LBUTTONUP, 0, at));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(tip); })) << "hidden by the button";

    // Turned off: the control still asks, gets nothing and shows nothing.
    AppState.ClockOptions.tooltip = 0;
    int asked = spy.countNotify(TTN_NEEDTEXT);
    SendMessageA(clock, WM_MOUSEMOVE, 0, at);
    EXPECT_TRUE(PumpUntil([&] { return spy.countNotify(TTN_NEEDTEXT) > asked; })) << "asked again";
    PumpMessages(300);
    EXPECT_FALSE(IsWindowVisible(tip));

    SetCursorPos(saved.x, saved.y);
}
