#include "helpers.h"

#include <string.h>

#include "pathtext.h"
#include "placement.h"

static_assert(MAX_PATH == PATH_BUFFER_SIZE, "a listed name (cFileName) fits the lookup's buffer");

// The name under which the folder lists the entry.
static int LookUpListedName(void *, const char *path, char *name)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    memcpy(name, entry.cFileName, sizeof entry.cFileName);
    return 1;
}

int ExpandLongPath(const char *path, char *out, int outSize)
{
    // Absolute first: a relative name stored in the settings would not be
    // found from another working folder, and the folder lookup of a ".."
    // component answers with the parent's name, not with "..". A path of
    // MAX_PATH characters or more fails, even one that its dot components
    // would shorten.
    char full[MAX_PATH];
    if (strlen(path) >= MAX_PATH)
        return 0;
    DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full)
        return 0;
    return ExpandListedNames(full, out, outSize, LookUpListedName, NULL);
}

BOOL CenterWindow(HWND window, HWND reference)
{
    RECT outer, inner;
    GetWindowRect(reference, &outer);
    GetWindowRect(window, &inner);
    int x = CenteredStart(outer.left, outer.right, inner.left, inner.right);
    int y = CenteredStart(outer.top, outer.bottom, inner.top, inner.bottom);
    MoveWindow(window, x, y, inner.right - inner.left, inner.bottom - inner.top, TRUE);
    return TRUE;
}

HICON LoadSmallIcon(HINSTANCE instance, const char *name)
{
    return (HICON)LoadImageA(instance, name, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
}

int HelpViewerPath(char *path)
{
    static const char viewer[] = "\\winhlp32.exe";
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof viewer > MAX_PATH)
        return 0;
    memcpy(path + length, viewer, sizeof viewer);
    return 1;
}

void ShowProblem(HWND owner, const char *text)
{
    MessageBoxA(owner, text, "問題", MB_ICONERROR);
}

void ShowNotice(HWND owner, const char *text, const char *caption)
{
    MessageBoxA(owner, text, caption, MB_ICONINFORMATION);
}
