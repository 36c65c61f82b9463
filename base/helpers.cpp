#include "helpers.h"

#include <string.h>
#include <tchar.h>

#include "pathtext.h"
#include "placement.h"

static_assert(MAX_PATH == PATH_BUFFER_SIZE, "a listed name (cFileName) fits the lookup's buffer");

#ifdef UNICODE
LeadByteRule SystemLeadByteRule(void)
{
    return NULL;
}
#else
static int IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte);
}

LeadByteRule SystemLeadByteRule(void)
{
    return IsSystemLeadByte;
}
#endif

// The name under which the folder lists the entry.
static int LookUpListedName(void *, const TCHAR *path, TCHAR *name)
{
    WIN32_FIND_DATA entry;
    HANDLE search = FindFirstFile(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    memcpy(name, entry.cFileName, sizeof entry.cFileName);
    return 1;
}

int ExpandLongPath(const TCHAR *path, TCHAR *out, int outSize)
{
    // Absolute first: a relative name stored in the settings would not be
    // found from another working folder, and the folder lookup of a ".."
    // component answers with the parent's name, not with "..". A path of
    // MAX_PATH characters or more fails, even one that its dot components
    // would shorten.
    TCHAR full[MAX_PATH];
    if (_tcslen(path) >= MAX_PATH)
        return 0;
    DWORD length = GetFullPathName(path, MAX_PATH, full, NULL);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    return ExpandListedNames<TCHAR>(full, out, outSize, LookUpListedName, NULL, SystemLeadByteRule());
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

HICON LoadSmallIcon(HINSTANCE instance, const TCHAR *name)
{
    return (HICON)LoadImage(instance, name, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
}

int HelpViewerPath(TCHAR *path)
{
    static const TCHAR viewer[] = TEXT("\\winhlp32.exe");
    UINT length = GetWindowsDirectory(path, MAX_PATH);
    if (length == 0 || length + ARRAYSIZE(viewer) > MAX_PATH)
        return 0;
    memcpy(path + length, viewer, sizeof viewer);
    return 1;
}

void ProgramFolder(HINSTANCE instance, TCHAR *folder)
{
    // By whole characters: in a double-byte code page the second byte of
    // "ソ" is a backslash.
    DWORD length = GetModuleFileName(instance, folder, MAX_PATH);
    TCHAR *lastSlash =
        length && length < MAX_PATH ? (TCHAR *)FindLastChar<TCHAR>(folder, '\\', SystemLeadByteRule()) : NULL;
    if (lastSlash)
        lastSlash[1] = '\0';
    else
        folder[0] = '\0';
}

void TextFromShiftJis(const char *text, TCHAR *out, int outSize)
{
    if (outSize <= 0)
        return;
#ifdef UNICODE
    // Our texts are at most a 256-byte field: one UTF-16 unit per byte at most.
    enum { SHIFT_JIS = 932, LONGEST = 512 };
    WCHAR whole[LONGEST];
    if (!MultiByteToWideChar(SHIFT_JIS, 0, text, -1, whole, LONGEST))
        whole[0] = '\0';
    lstrcpynW(out, whole, outSize);
#else
    lstrcpynA(out, text, outSize);
#endif
}

void ShowProblem(HWND owner, const TCHAR *text)
{
    MessageBox(owner, text, TEXT("問題"), MB_ICONERROR);
}

void ShowNotice(HWND owner, const TCHAR *text, const TCHAR *caption)
{
    MessageBox(owner, text, caption, MB_ICONINFORMATION);
}
