#include "tooltip.h"

#include <commctrl.h>
#include <stddef.h>
#include <string.h>

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "datetext.h"

#ifdef UNICODE
#define TTTOOLINFO_V2_SIZE TTTOOLINFOW_V2_SIZE
#else
#define TTTOOLINFO_V2_SIZE TTTOOLINFOA_V2_SIZE
#endif

static TOOLINFO DateTool;
#ifndef _WIN64
static_assert(offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM) == 44, "the tool record's 32-bit size");
#endif
static MSG RelayedMessage;

void CreateDateTooltip(HWND clock)
{
    // TTS_ALWAYSTIP: the clock is as a rule not the active window.
    AppState.TooltipWindow = CreateWindowEx(0, TOOLTIPS_CLASS, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                            CW_USEDEFAULT, CW_USEDEFAULT, clock, NULL, AppState.AppInstance, NULL);
    memset(&DateTool, 0, sizeof DateTool);
    DateTool.cbSize = TTTOOLINFO_V2_SIZE; // up to and including lParam
    DateTool.uFlags = TTF_IDISHWND; // no subclassing: mouse messages are relayed by hand
    DateTool.hwnd = clock;
    DateTool.uId = (UINT_PTR)clock;
    DateTool.lpszText = LPSTR_TEXTCALLBACK; // asked for each time the tip shows
    SendMessage(AppState.TooltipWindow, TTM_ADDTOOL, 0, (LPARAM)&DateTool);
    SendMessage(AppState.TooltipWindow, TTM_SETDELAYTIME, TTDT_INITIAL, 200);
}

void RelayToTooltip(HWND clock, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD position = GetMessagePos();
    RelayedMessage.hwnd = clock;
    RelayedMessage.message = message;
    RelayedMessage.wParam = wParam;
    RelayedMessage.lParam = lParam;
    RelayedMessage.time = (DWORD)GetMessageTime();
    RelayedMessage.pt.x = (short)LOWORD(position);
    RelayedMessage.pt.y = (short)HIWORD(position);
    SendMessage(AppState.TooltipWindow, TTM_RELAYEVENT, 0, (LPARAM)&RelayedMessage);
}

int FormatDateTip(char *text, const SYSTEMTIME *now)
{
    const ClockOptions *options = &AppState.ClockOptions;
    return FormatDateText(text, DATE_TIP_SIZE, now->wYear, now->wMonth, now->wDay, options->year, options->slash);
}

LRESULT OnClockNotify(HWND, LPARAM lParam)
{
    NMHDR *header = (NMHDR *)lParam;
    if (header->code == TTN_NEEDTEXT) {
        NMTTDISPINFO *display = (NMTTDISPINFO *)lParam;
        char text[DATE_TIP_SIZE]; // Shift-JIS, like the skin's texts
        memset(text, 0, sizeof text);
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (AppState.ClockOptions.tooltip)
            FormatDateTip(text, &now);
        TextFromShiftJis(text, display->szText, ARRAYSIZE(display->szText));
    }
    // 0 lets the control place the tip itself where the pointer is.
    return header->code == TTN_SHOW ? 0 : 1;
}
