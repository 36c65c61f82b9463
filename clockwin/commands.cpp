// Everything the user does with the clock besides dragging it goes through
// one popup menu, opened on the clock or on its tray icon.
#include "commands.h"

#include <shellapi.h>
#include <string.h>
#include <tchar.h>

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "../dialogs/dialogs.h"
#include "../skin/face.h"
#include "../skin/skinload.h"
#include "clockwin.h"
#include "tray.h"

// Docking holds still while the menu is up. Afterwards it goes back to how
// it was: a menu opened from the tray icon under a dialog must not let the
// clock perch on the dialog and show itself.
void ShowPopupMenu(HWND clock, POINT screenPoint, UINT flags, MenuPlace place)
{
    int wasSuspended = AppState.DockingSuspended;
    AppState.DockingSuspended = 1;
    HMENU menu = LoadMenu(AppState.AppInstance, TEXT("POPUPMENU"));
    if (menu) {
        HMENU popup = GetSubMenu(menu, 0);
        SetMenuDefaultItem(popup, IDM_EXIT, FALSE); // Exit in bold at every opening
        // A notification icon's menu closes on a click elsewhere only when
        // its owner is the foreground window while it is tracked, and the
        // owner gets a message right after it.
        if (place == MENU_ON_TRAY_ICON)
            SetForegroundWindow(clock);
        TrackPopupMenu(popup, flags, screenPoint.x, screenPoint.y, 0, clock, NULL);
        if (place == MENU_ON_TRAY_ICON)
            PostMessage(clock, WM_NULL, 0, 0);
        DestroyMenu(menu);
    }
    AppState.DockingSuspended = wasSuspended;
}

LRESULT OnRButtonUp(HWND clock, LPARAM lParam)
{
    POINT point;
    point.x = (short)LOWORD(lParam);
    point.y = (short)HIWORD(lParam);
    ClientToScreen(clock, &point);
    ShowPopupMenu(clock, point, TPM_RIGHTBUTTON, MENU_ON_CLOCK);
    return 1;
}

LRESULT OnTrayNotify(HWND clock, WPARAM wParam, LPARAM lParam)
{
    if (lParam != WM_RBUTTONUP)
        return DefWindowProc(clock, WM_TRAY_NOTIFY, wParam, lParam);
    POINT cursor;
    GetCursorPos(&cursor);
    // Opens upwards and to the left of the cursor, away from the taskbar.
    ShowPopupMenu(clock, cursor, TPM_BOTTOMALIGN | TPM_RIGHTALIGN | TPM_RIGHTBUTTON, MENU_ON_TRAY_ICON);
    return 1;
}

// A modal step of the menu: docking holds still and the clock stays hidden
// while it runs, and only one runs at a time. 0, running nothing, when
// another is up already.
typedef void (*ModalStep)(HWND clock, const void *context);

static int RunModalStep(HWND clock, ModalStep step, const void *context)
{
    if (AppState.DialogOpen)
        return 0;
    AppState.DockingSuspended = 1;
    ShowWindow(clock, SW_HIDE);
    AppState.DialogOpen = 1;
    step(clock, context);
    AppState.DialogOpen = 0;
    ShowWindow(clock, SW_SHOWNOACTIVATE);
    AppState.DockingSuspended = 0;
    return 1;
}

struct MenuDialog {
    const TCHAR *templateName;
    DLGPROC procedure;
};

static void ShowMenuDialog(HWND clock, const void *context)
{
    const MenuDialog *dialog = (const MenuDialog *)context;
    // A dialog that could not be made (-1) must not lock every later one.
    DialogBoxParam(AppState.AppInstance, dialog->templateName, clock, dialog->procedure, 0);
}

void RunMenuDialog(HWND clock, const TCHAR *templateName, DLGPROC procedure)
{
    MenuDialog dialog = {templateName, procedure};
    RunModalStep(clock, ShowMenuDialog, &dialog);
}

// The dialog edits the options; the tray icon follows them once it closed.
static void OpenSettings(HWND clock)
{
    int trayBefore = AppState.ClockOptions.tray;
    RunMenuDialog(clock, TEXT("SETTING"), SettingDlgProc);
    FollowTrayOption(clock, trayBefore);
}

int ReplaceDataFile(HWND clock, const TCHAR *path)
{
    // The data file name must fit its 256-character record; a longer path
    // counts as a failed load.
    size_t length = _tcslen(path);
    if (length < DATA_FILE_NAME_SIZE && LoadSkinFile(clock, path)) {
        memcpy(AppState.CurrentDataFile, path, (length + 1) * sizeof(TCHAR));
        return 1;
    }
    // A failed load changed nothing: the skin in force stays.
    ShowProblem(clock, TEXT("ファイルの読み込みに失敗しました。他のアプリケーションが編集中かもしれません。"));
    return 0;
}

static void ChooseAndLoadDataFile(HWND clock, const void *)
{
    TCHAR path[CHOSEN_PATH_SIZE];
    memset(path, 0, sizeof path);
    if (ChooseDataFile(clock, path, NULL))
        ReplaceDataFile(clock, path);
}

void ChangeDataFile(HWND clock)
{
    if (!RunModalStep(clock, ChooseAndLoadDataFile, NULL))
        return;
    if (!SetForegroundWindow(AppState.DockTarget))
        SetForegroundWindow(AppState.PreviousDockTarget);
    PostMessage(clock, WM_DOCK_UPDATE, 0, 0);
}

// The help viewer when the system has one and our help file is there;
// otherwise the same help as a page beside the program.
void OpenHelp(HWND clock)
{
    TCHAR viewer[MAX_PATH];
    TCHAR ourFolder[MAX_PATH];
    int haveViewer = HelpViewerPath(viewer) && GetFileAttributes(viewer) != INVALID_FILE_ATTRIBUTES;

    ProgramFolder(AppState.AppInstance, ourFolder);
    TCHAR helpFile[MAX_PATH];
    TCHAR helpPage[MAX_PATH];
    int haveFile = 0;
    if (_tcslen(ourFolder) + ARRAYSIZE(HELP_PAGE_NAME) <= MAX_PATH) {
        wsprintf(helpFile, TEXT("%s%s"), ourFolder, HELP_FILE_NAME);
        wsprintf(helpPage, TEXT("%s%s"), ourFolder, HELP_PAGE_NAME);
        haveFile = GetFileAttributes(helpFile) != INVALID_FILE_ATTRIBUTES;
    } else {
        helpPage[0] = '\0';
    }

    // The viewer does not look in our folder for a bare name.
    if (haveViewer && haveFile)
        WinHelp(clock, helpFile, HELP_FINDER, 0);
    else if (helpPage[0])
        ShellExecute(clock, TEXT("open"), helpPage, NULL, NULL, SW_SHOWNORMAL);
}

LRESULT OnCommand(HWND clock, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_EXIT:
        ShowWindow(clock, SW_HIDE);
        AppState.ExitRequested = 1;
        DestroyWindow(clock);
        break;
    case IDM_ABOUT:
        RunMenuDialog(clock, TEXT("ABOUT"), AboutDlgProc);
        break;
    case IDM_SETTING:
        OpenSettings(clock);
        break;
    case IDM_PROPERTY:
        RunMenuDialog(clock, TEXT("PROPERTY"), PropertyDlgProc);
        break;
    case IDM_CHANGEDATA:
        ChangeDataFile(clock);
        break;
    case IDM_HELP:
        OpenHelp(clock);
        break;
    }
    return DefWindowProc(clock, WM_COMMAND, wParam, lParam);
}

LRESULT OnDropFiles(HWND clock, HDROP drop)
{
    // A name cut short by the buffer has 259 characters, more than a data
    // file name may have: ReplaceDataFile refuses it like any failed load.
    TCHAR name[MAX_PATH] = TEXT("");
    DragQueryFile(drop, 0, name, MAX_PATH);
    DragFinish(drop);
    ReplaceDataFile(clock, name);
    AppState.DialogOpen = 0;
    InvalidateRect(clock, NULL, FALSE);
    return 0;
}

LRESULT OnPaint(HWND clock)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(clock, &paint);
    PaintFace(dc);
    EndPaint(clock, &paint);
    return 1;
}
