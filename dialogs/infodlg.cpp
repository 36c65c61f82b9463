// The version dialog and the data properties of the skin in force. Links
// look like a web page's: blue and underlined with a hand over them, purple
// once followed (for the rest of the run). A click closes the dialog and
// hands the address to the shell.
#include "dialogs.h"

#include <shellapi.h>
#include <string.h>
#include <tchar.h>

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "../res/resource.h"
#include "../skin/skin.h"
#include "../skin/skinformat.h"
#include "linkrules.h"

static WORD AboutLinkVisited;
static WORD HomePageVisited;
static WORD MailVisited;
// Decided at every opening of the data properties from the skin in force.
static int HomePageLink;
static int MailLink;

static const COLORREF LinkColors[2] = {RGB(0, 0, 255), RGB(128, 0, 128)};

// The fonts of the coloured statics, each made once per opening of its
// dialog: handed to its static at the start (a static draws in the font it
// was given, whatever is selected when it asks for its colours) and kept
// until the dialog is destroyed. One dialog is up at a time.
struct FontRecipe {
    int height, bold, italic, underline;
    BYTE charSet;
    const TCHAR *face;
};

enum { SUPPORT_LINK, PRODUCT_NAME, EDITION, ABOUT_STATIC_COUNT };
static const int AboutStaticIds[ABOUT_STATIC_COUNT] = {IDC_SUPPORTLINK, IDC_PRODUCTNAME, IDC_EDITION};
static const FontRecipe AboutFontRecipes[ABOUT_STATIC_COUNT] = {
    {15, 0, 0, 1, DEFAULT_CHARSET, TEXT("Times New Roman")},
    {35, 1, 1, 0, DEFAULT_CHARSET, TEXT("Times New Roman")},
    {20, 1, 0, 0, DEFAULT_CHARSET, TEXT("Times New Roman")},
};
static HFONT AboutFonts[ABOUT_STATIC_COUNT];
// Both links of the data properties share one font.
static const FontRecipe PropertyLinkRecipe = {12, 0, 0, 1, SHIFTJIS_CHARSET, TEXT("ＭＳ Ｐゴシック")};
static HFONT PropertyLinkFont;

static HFONT FontOf(HFONT *made, const FontRecipe &recipe)
{
    if (!*made)
        *made = MakeFont(recipe.height, 0, recipe.bold, recipe.italic, recipe.underline, 0, recipe.charSet,
                         recipe.face);
    return *made;
}

static void GiveFont(HWND dialog, int id, HFONT font)
{
    SendDlgItemMessage(dialog, id, WM_SETFONT, (WPARAM)font, FALSE);
}

static void DeleteFont(HFONT *made)
{
    if (*made)
        DeleteObject(*made);
    *made = NULL;
}

static int IsControl(HWND dialog, HWND window, int id)
{
    return window && window == GetDlgItem(dialog, id);
}

static BOOL ShowLinkCursor(HWND dialog)
{
    SetCursor(AppState.LinkCursor);
    SetWindowLongPtr(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// A static drawn in its own font and colour over the dialog's face.
static INT_PTR ColourStatic(HDC dc, HFONT font, COLORREF colour)
{
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    return (INT_PTR)GetStockObject(NULL_BRUSH);
}

// Every other static is drawn as the dialog manager draws it. Windows takes
// a returned colour index (COLOR_BTNFACE + 1) for no brush and falls back to
// exactly this default; Wine would paint the text on white instead.
static INT_PTR PlainStatic(HWND dialog, WPARAM dc, LPARAM control)
{
    return DefWindowProc(dialog, WM_CTLCOLORSTATIC, dc, control);
}

// Closes the dialog, then opens prefix + the control's text. The dialog
// still exists while the shell is called, and owns the call.
static void FollowLink(HWND dialog, int id, const TCHAR *prefix)
{
    TCHAR text[256];
    GetWindowText(GetDlgItem(dialog, id), text, ARRAYSIZE(text));
    EndDialogWithZero(dialog);
    TCHAR address[300];
    wsprintf(address, TEXT("%s%s"), prefix, text);
    ShellExecute(dialog, TEXT("open"), address, NULL, NULL, SW_SHOWNORMAL);
}

static BOOL OnSysCommand(HWND dialog, WPARAM command)
{
    if (LOWORD(command) != SC_CLOSE)
        return FALSE;
    EndDialogWithZero(dialog);
    return TRUE;
}

static COLORREF AboutColour(int which)
{
    static const COLORREF fixed[ABOUT_STATIC_COUNT] = {0, RGB(220, 0, 0), RGB(0, 0, 220)};
    return which == SUPPORT_LINK ? LinkColors[AboutLinkVisited & 1] : fixed[which];
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR answer;
    if (PassToCaptionPainter(dialog, message, wParam, lParam, &answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog, GetDesktopWindow());
        for (int i = 0; i < ABOUT_STATIC_COUNT; i++)
            GiveFont(dialog, AboutStaticIds[i], FontOf(&AboutFonts[i], AboutFontRecipes[i]));
        ShowOnTop(dialog);
        return FALSE;
    case WM_SETCURSOR:
        return IsControl(dialog, (HWND)wParam, IDC_SUPPORTLINK) ? ShowLinkCursor(dialog) : FALSE;
    case WM_CTLCOLORSTATIC:
        for (int i = 0; i < ABOUT_STATIC_COUNT; i++) {
            if (IsControl(dialog, (HWND)lParam, AboutStaticIds[i]))
                return ColourStatic((HDC)wParam, FontOf(&AboutFonts[i], AboutFontRecipes[i]), AboutColour(i));
        }
        return PlainStatic(dialog, wParam, lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialogWithZero(dialog);
            return TRUE;
        case IDC_SUPPORTLINK:
            AboutLinkVisited = 1;
            FollowLink(dialog, IDC_SUPPORTLINK, TEXT(""));
            return TRUE;
        }
        return FALSE; // Escape (IDCANCEL) does not close it
    case WM_SYSCOMMAND:
        return OnSysCommand(dialog, wParam);
    case WM_DESTROY:
        for (HFONT &font : AboutFonts)
            DeleteFont(&font);
        return FALSE;
    }
    return FALSE;
}

// The skin's credits; a field the skin leaves empty keeps its placeholder.
// A home page or mail address is a live link only when it is a plain web
// address or one mail address that the shell gets whole: the texts come
// from strangers, and the shell opens whatever program a text names.
static void ShowSkinTexts(HWND dialog)
{
    const unsigned char *fields[] = {SkinHeader.author, SkinHeader.dataName, SkinHeader.homePage,
                                     SkinHeader.mailAddress};
    const int ids[] = {IDC_AUTHOR, IDC_DATANAME, IDC_HOMEPAGE, IDC_MAILADDRESS};
    TCHAR texts[4][257];
    for (int i = 0; i < 4; i++) {
        // A field that fills all 256 bytes without an end shows as those
        // 256 bytes, never more. The bytes are Shift-JIS whatever the
        // system's code page: the Unicode edition shows them decoded.
        char bytes[257];
        CopySkinText(fields[i], bytes, sizeof bytes);
        TextFromShiftJis(bytes, texts[i], ARRAYSIZE(texts[i]));
        if (texts[i][0])
            SetDlgItemText(dialog, ids[i], texts[i]);
    }
    // A link's address is read back from its control, at most 255
    // characters: a longer one could not reach the shell as shown. The
    // rules judge the text as shown.
    HomePageLink = _tcslen(texts[2]) < 256 && IsWebLink(texts[2]);
    MailLink = _tcslen(texts[3]) < 256 && IsMailLink(texts[3]);
    if (HomePageLink)
        GiveFont(dialog, IDC_HOMEPAGE, FontOf(&PropertyLinkFont, PropertyLinkRecipe));
    if (MailLink)
        GiveFont(dialog, IDC_MAILADDRESS, FontOf(&PropertyLinkFont, PropertyLinkRecipe));
}

static int IsLiveLink(HWND dialog, HWND control)
{
    return (HomePageLink == 1 && IsControl(dialog, control, IDC_HOMEPAGE)) ||
           (MailLink == 1 && IsControl(dialog, control, IDC_MAILADDRESS));
}

INT_PTR CALLBACK PropertyDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR answer;
    if (PassToCaptionPainter(dialog, message, wParam, lParam, &answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog, GetDesktopWindow());
        ShowSkinTexts(dialog);
        ShowOnTop(dialog);
        return FALSE;
    case WM_SETCURSOR:
        return IsLiveLink(dialog, (HWND)wParam) ? ShowLinkCursor(dialog) : FALSE;
    case WM_CTLCOLORSTATIC: {
        HWND control = (HWND)lParam;
        if (!IsLiveLink(dialog, control))
            return PlainStatic(dialog, wParam, lParam);
        WORD visited = IsControl(dialog, control, IDC_HOMEPAGE) ? HomePageVisited : MailVisited;
        return ColourStatic((HDC)wParam, FontOf(&PropertyLinkFont, PropertyLinkRecipe), LinkColors[visited & 1]);
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialogWithZero(dialog);
            return TRUE;
        case IDC_HOMEPAGE:
            if (HomePageLink == 1) {
                HomePageVisited = 1;
                FollowLink(dialog, IDC_HOMEPAGE, TEXT(""));
            }
            return TRUE;
        case IDC_MAILADDRESS:
            if (MailLink == 1) {
                MailVisited = 1;
                FollowLink(dialog, IDC_MAILADDRESS, TEXT("mailto:"));
            }
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        return OnSysCommand(dialog, wParam);
    case WM_DESTROY:
        DeleteFont(&PropertyLinkFont);
        return FALSE;
    }
    return FALSE;
}
