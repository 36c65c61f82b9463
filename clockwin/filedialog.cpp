// The open-file dialog for choosing a skin data file.
#include <windows.h>

#include <commdlg.h>
#include <stddef.h>
#include <string.h>
#include <tchar.h>

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "commands.h"

#ifndef _WIN64
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76, "the dialog record's 32-bit size");
#endif

UINT_PTR CALLBACK DataFileDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    // The hook dialog is a child of the visible Explorer-style frame. Some
    // systems give the frame its final size only after this dialog's
    // WM_INITDIALOG, so it is centred again once the frame is complete.
    if (message == WM_INITDIALOG || (message == WM_NOTIFY && ((NMHDR *)lParam)->code == CDN_INITDONE))
        CenterWindow(GetParent(dialog), GetDesktopWindow());
    return 0;
}

BOOL ChooseDataFile(HWND owner, TCHAR *path, TCHAR *title)
{
    OPENFILENAME request;
    memset(&request, 0, sizeof request);
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400;
    request.hwndOwner = owner;
    request.lpstrFilter = TEXT("Tickperch OV Data(*.qve)\0*.qve\0");
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = CHOSEN_TITLE_SIZE;
    request.lpstrTitle = TEXT("Tickperch OV - データ変更");
    request.Flags = OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    request.lpstrDefExt = TEXT("qve"); // a name typed without extension finds the skin
    request.lpfnHook = DataFileDialogHook;
    BOOL chosen = GetOpenFileName(&request);

    // Only a path that expanded (and so fits the data file name) replaces
    // the dialog's own.
    TCHAR expanded[DATA_FILE_NAME_SIZE];
    if (ExpandLongPath(path, expanded, DATA_FILE_NAME_SIZE))
        memcpy(path, expanded, (_tcslen(expanded) + 1) * sizeof(TCHAR));
    return chosen;
}
