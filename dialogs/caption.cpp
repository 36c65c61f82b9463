// The caption is a gradient from near-black at the left to the system's
// caption colour behind the buttons, with the caption buttons and the text
// on it. It is rendered once per state and size into a bitmap; every later
// non-client paint is one copy. The frame, the client area and what the
// buttons do stay with the platform.
#include "caption.h"

#include <stddef.h>

#include "gradient.h"

static int CaptionPainterOff;

struct CaptionRecord {
    int active; // the state last taken from WM_NCACTIVATE
    int cachedWidth; // 0: the cached pictures are out of date
    int cachedHeight;
    HBITMAP inactiveBitmap;
    HBITMAP activeBitmap;
    HFONT captionFont; // made from the system's caption font on first use
};

// NONCLIENTMETRICS as the first 32-bit Windows knew it, without the padded
// border width that later versions added (they still accept this size):
// 340 bytes in the ANSI form, 500 in the wide one.
static const UINT ClassicNonClientMetricsSize = offsetof(NONCLIENTMETRICS, lfMessageFont) + sizeof(LOGFONT);
static_assert(offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA) == 340,
              "the classic size ends with the message font");

BOOL InitCaptionPainterForVersion(DWORD version)
{
    CaptionPainterOff = CaptionPainterOffFor(version);
    return TRUE;
}

BOOL InitCaptionPainter(void)
{
    return InitCaptionPainterForVersion(GetVersion());
}

static CaptionRecord *RecordOf(HWND window)
{
    return (CaptionRecord *)GetWindowLongPtr(window, GWLP_USERDATA);
}

static int HasSystemMenuCaption(LONG style)
{
    return (style & WS_SYSMENU) && (style & (WS_BORDER | WS_DLGFRAME));
}

// The caption, relative to the window's top-left corner.
static RECT CaptionRect(HWND window)
{
    LONG style = GetWindowLong(window, GWL_STYLE);
    int thick = (style & WS_THICKFRAME) && !IsIconic(window);
    int fx = GetSystemMetrics(thick ? SM_CXFRAME : SM_CXDLGFRAME);
    int fy = GetSystemMetrics(thick ? SM_CYFRAME : SM_CYDLGFRAME);
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    RECT caption;
    caption.left = fx;
    caption.top = fy;
    caption.right = windowRect.right - windowRect.left - fx;
    caption.bottom = fy + GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER);
    return caption;
}

static void InvalidateCache(CaptionRecord *record)
{
    record->cachedWidth = 0;
    record->cachedHeight = 0;
}

static void FillColumns(HDC dc, int left, int right, int height, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ previous = SelectObject(dc, brush);
    PatBlt(dc, left, 0, right - left, height, PATCOPY);
    SelectObject(dc, previous);
    DeleteObject(brush);
}

static void RenderGradient(HWND window, HDC dc, int cx, int cy, int active)
{
    LONG style = GetWindowLong(window, GWL_STYLE);
    LONG exStyle = GetWindowLong(window, GWL_EXSTYLE);
    CaptionButtons buttons;
    buttons.hasSystemMenuCaption = HasSystemMenuCaption(style);
    buttons.hasMaximiseOrHelp = (style & WS_MAXIMIZEBOX) || (exStyle & WS_EX_CONTEXTHELP);
    buttons.hasMinimise = (style & WS_MINIMIZEBOX) != 0;
    int buttonArea = CaptionButtonArea(&buttons, GetSystemMetrics(SM_CXSIZE));

    CaptionFill fills[GRADIENT_MAX_FILLS];
    COLORREF base = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    int count = ComputeCaptionFills(cx, buttonArea, base, fills);
    for (int i = 0; i < count; i++)
        FillColumns(dc, fills[i].left, fills[i].right, cy, fills[i].colour);
}

// The window class's small icon at the left; returns the width it takes.
static int RenderIcon(HWND window, HDC dc)
{
    if (!HasSystemMenuCaption(GetWindowLong(window, GWL_STYLE)))
        return 0;
    HICON icon = (HICON)GetClassLongPtr(window, GCLP_HICONSM);
    if (!icon)
        return 0;
    int size = GetSystemMetrics(SM_CXSIZE);
    DrawIconEx(dc, 2, 1, icon, size - 2, GetSystemMetrics(SM_CYSIZE) - 2, 0, NULL, DI_NORMAL);
    return size;
}

// Close, then maximise (or help), then minimise, right to left; returns the
// width from the leftmost button's left edge less 2 to the right end.
static int RenderButtons(HWND window, HDC dc, int cx)
{
    LONG style = GetWindowLong(window, GWL_STYLE);
    LONG exStyle = GetWindowLong(window, GWL_EXSTYLE);
    if (!HasSystemMenuCaption(style))
        return 0;
    int bx = GetSystemMetrics(SM_CXSIZE), by = GetSystemMetrics(SM_CYSIZE);
    RECT button = {cx - bx, 2, cx - 2, by - 2};
    DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    if ((style & WS_MAXIMIZEBOX) || (exStyle & WS_EX_CONTEXTHELP)) {
        OffsetRect(&button, -bx, 0);
        UINT kind = !(style & WS_MAXIMIZEBOX) ? DFCS_CAPTIONHELP
                    : IsZoomed(window)        ? DFCS_CAPTIONRESTORE
                                              : DFCS_CAPTIONMAX;
        DrawFrameControl(dc, &button, DFC_CAPTION, kind);
    }
    if (style & WS_MINIMIZEBOX) {
        OffsetRect(&button, -(bx - 2), 0);
        DrawFrameControl(dc, &button, DFC_CAPTION, IsIconic(window) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN);
    }
    return cx - button.left - 2;
}

static void RenderText(HWND window, CaptionRecord *record, HDC dc, RECT area)
{
    TCHAR text[256];
    int length = GetWindowText(window, text, ARRAYSIZE(text));
    if (!record->captionFont) {
        NONCLIENTMETRICS metrics;
        ZeroMemory(&metrics, sizeof metrics);
        metrics.cbSize = ClassicNonClientMetricsSize;
        SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
        record->captionFont = CreateFontIndirect(&metrics.lfCaptionFont);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(record->active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    HGDIOBJ previous = SelectObject(dc, record->captionFont);
    DrawText(dc, text, length, &area, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
}

static void RenderCaption(HWND window, CaptionRecord *record, HDC dc, int cx, int cy)
{
    RenderGradient(window, dc, cx, cy, record->active);
    int iconWidth = RenderIcon(window, dc);
    int buttonsWidth = RenderButtons(window, dc, cx);
    RECT textArea = {iconWidth + 2, 0, cx - buttonsWidth, cy};
    RenderText(window, record, dc, textArea);
}

static void DeleteCachedBitmaps(CaptionRecord *record)
{
    if (record->inactiveBitmap)
        DeleteObject(record->inactiveBitmap);
    if (record->activeBitmap)
        DeleteObject(record->activeBitmap);
    record->inactiveBitmap = NULL;
    record->activeBitmap = NULL;
}

// Copies the caption for the current state to the window, rendering it
// first when the cache holds no picture of this state and size.
static void PaintCaptionFromCache(HWND window, CaptionRecord *record, RECT caption)
{
    HDC windowDc = GetWindowDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    int cx = caption.right - caption.left, cy = caption.bottom - caption.top;
    if (cx != record->cachedWidth || cy != record->cachedHeight) {
        DeleteCachedBitmaps(record);
        record->cachedWidth = cx;
        record->cachedHeight = cy;
    }
    HBITMAP *slot = record->active ? &record->activeBitmap : &record->inactiveBitmap;
    HGDIOBJ previous;
    if (!*slot) {
        *slot = CreateCompatibleBitmap(windowDc, cx, cy);
        previous = SelectObject(memoryDc, *slot);
        RenderCaption(window, record, memoryDc, cx, cy);
    } else {
        previous = SelectObject(memoryDc, *slot);
    }
    BitBlt(windowDc, caption.left, caption.top, cx, cy, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
}

// Calls the default handling with WS_VISIBLE cleared for the call, so that
// it updates its own state without drawing its flat caption over ours.
static LRESULT DefaultWithoutDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LONG style = GetWindowLong(window, GWL_STYLE);
    if (!(style & WS_VISIBLE))
        return DefWindowProc(window, message, wParam, lParam);
    SetWindowLong(window, GWL_STYLE, style & ~WS_VISIBLE);
    LRESULT result = DefWindowProc(window, message, wParam, lParam);
    SetWindowLong(window, GWL_STYLE, style);
    return result;
}

static BOOL OnCaptionInitDialog(HWND window, LRESULT *result)
{
    if (GetWindowLong(window, GWL_STYLE) & ~WS_CAPTION) {
        CaptionRecord *record = (CaptionRecord *)GlobalAlloc(GPTR, sizeof(CaptionRecord));
        if (record) {
            SetWindowLongPtr(window, GWLP_USERDATA, (LONG_PTR)record);
            return FALSE;
        }
    }
    // Without a record the window keeps the platform's caption.
    *result = -1;
    return TRUE;
}

static void OnCaptionDestroy(HWND window, CaptionRecord *record)
{
    DeleteCachedBitmaps(record);
    if (record->captionFont)
        DeleteObject(record->captionFont);
    GlobalFree(record);
    SetWindowLongPtr(window, GWLP_USERDATA, 0);
}

static void OnCaptionNcPaint(HWND window, CaptionRecord *record, HRGN update)
{
    RECT caption = CaptionRect(window);
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    RECT onScreen = caption;
    OffsetRect(&onScreen, windowRect.left, windowRect.top);

    // 0 and 1 stand for the whole window; anything else is a real region.
    int wholeWindow = LOWORD((ULONG_PTR)update) <= 1;
    if (!wholeWindow && !RectInRegion(update, &onScreen)) {
        DefWindowProc(window, WM_NCPAINT, (WPARAM)update, 0);
        return;
    }
    HRGN rest = CreateRectRgnIndirect(&onScreen);
    if (wholeWindow) {
        HRGN all = CreateRectRgnIndirect(&windowRect);
        CombineRgn(rest, all, rest, RGN_DIFF);
        DeleteObject(all);
    } else {
        CombineRgn(rest, update, rest, RGN_DIFF);
    }
    DefWindowProc(window, WM_NCPAINT, (WPARAM)rest, 0);
    DeleteObject(rest);
    PaintCaptionFromCache(window, record, caption);
}

static void OnCaptionNcActivate(HWND window, CaptionRecord *record, WPARAM state)
{
    if (!IsWindowEnabled(window))
        state = 0;
    if ((int)state == record->active)
        return;
    DefaultWithoutDrawing(window, WM_NCACTIVATE, state, 0);
    InvalidateCache(record);
    record->active = (int)state;
    SendMessage(window, WM_NCPAINT, 0, 0);
}

static void OnCaptionSetText(HWND window, CaptionRecord *record, LPARAM text)
{
    DefaultWithoutDrawing(window, WM_SETTEXT, 0, text);
    RECT caption = CaptionRect(window);
    InvalidateCache(record);
    PaintCaptionFromCache(window, record, caption);
}

BOOL CaptionDlgFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (CaptionPainterOff)
        return FALSE;
    if (message == WM_INITDIALOG)
        return OnCaptionInitDialog(window, result);
    if (message == WM_CREATE) {
        *result = 1;
        return TRUE;
    }
    CaptionRecord *record = RecordOf(window);
    if (!record)
        return FALSE; // never set up, or already released
    switch (message) {
    case WM_DESTROY:
        OnCaptionDestroy(window, record);
        return FALSE;
    case WM_SETTEXT:
        OnCaptionSetText(window, record, lParam);
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        InvalidateCache(record);
        break;
    case WM_NCPAINT:
        OnCaptionNcPaint(window, record, (HRGN)wParam);
        break;
    case WM_NCACTIVATE:
        OnCaptionNcActivate(window, record, wParam);
        break;
    default:
        return FALSE;
    }
    *result = 1;
    return TRUE;
}
