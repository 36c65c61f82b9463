// The settings dialog: the hour system, the date tooltip and its form, and
// the tray icon. The options change in memory on OK only; they reach the
// settings file at exit, and the tray icon follows its option when the
// command that opened the dialog sees it closed.
#include "dialogs.h"

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "../res/resource.h"

// Both date frames and the five date radios, in the order they follow the
// tooltip box.
static const int DateControls[] = {IDC_YEARFRAME, IDC_FORMATFRAME, IDC_NOYEAR, IDC_WESTERNYEAR,
                                   IDC_ERAYEAR,   IDC_SLASHES,     IDC_UNITS};

static void EnableDateControls(HWND dialog, BOOL enable)
{
    for (int id : DateControls)
        EnableWindow(GetDlgItem(dialog, id), enable);
}

static BOOL OnSettingInit(HWND dialog)
{
    const ClockOptions &options = AppState.ClockOptions;
    CenterWindow(dialog, GetDesktopWindow());
    ShowOnTop(dialog);
    CheckRadioButton(dialog, IDC_HOURS12, IDC_HOURS24, options.timeSys == 24 ? IDC_HOURS24 : IDC_HOURS12);
    CheckRadioButton(dialog, IDC_SLASHES, IDC_UNITS, options.slash ? IDC_UNITS : IDC_SLASHES);
    // A year form the dialog does not know shows no radio at all.
    if (options.year >= 0 && options.year <= 2)
        CheckRadioButton(dialog, IDC_NOYEAR, IDC_ERAYEAR, IDC_NOYEAR + options.year);
    if (options.tooltip)
        CheckDlgButton(dialog, IDC_DATETIP, BST_CHECKED);
    EnableDateControls(dialog, options.tooltip != 0);
    if (options.tray)
        CheckDlgButton(dialog, IDC_TRAYICON, BST_CHECKED);
    return FALSE;
}

static int Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Greyed radios count as they show: with the tooltip off, the year and the
// form still take the state of their radios.
static void ApplySettings(HWND dialog)
{
    ClockOptions &options = AppState.ClockOptions;
    options.timeSys = 12 * (1 + Checked(dialog, IDC_HOURS24));
    options.tooltip = Checked(dialog, IDC_DATETIP);
    options.year = Checked(dialog, IDC_NOYEAR) ? 0 : Checked(dialog, IDC_WESTERNYEAR) ? 1 : 2;
    options.slash = Checked(dialog, IDC_SLASHES) ? 0 : 1;
    options.tray = Checked(dialog, IDC_TRAYICON);
}

static BOOL OnSettingCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        ApplySettings(dialog);
        EndDialogWithZero(dialog);
        return TRUE;
    case IDCANCEL: // also Escape and the close button
        EndDialogWithZero(dialog);
        return TRUE;
    case IDC_DATETIP:
        EnableDateControls(dialog, Checked(dialog, IDC_DATETIP));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR answer;
    if (PassToCaptionPainter(dialog, message, wParam, lParam, &answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG:
        return OnSettingInit(dialog);
    case WM_COMMAND:
        return OnSettingCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}
