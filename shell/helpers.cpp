#include "helpers.h"

#include <string.h>

#include "../clockwin/geometry.h"

// Fills *found with the directory entry of path; 0 when there is none.
static int LookUpEntry(const char *path, WIN32_FIND_DATAA *found)
{
    HANDLE search = FindFirstFileA(path, found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

// tail := head + "\" + tail (or head alone when tail is empty); 0 when the
// result would not fit in MAX_PATH bytes.
static int PrependComponent(const char *head, char *tail)
{
    char joined[MAX_PATH];
    size_t headLength = strlen(head);
    size_t tailLength = strlen(tail);
    if (tailLength == 0) {
        if (headLength >= MAX_PATH)
            return 0;
        memcpy(tail, head, headLength + 1);
        return 1;
    }
    if (headLength + 1 + tailLength >= MAX_PATH)
        return 0;
    memcpy(joined, head, headLength);
    joined[headLength] = '\\';
    memcpy(joined + headLength + 1, tail, tailLength + 1);
    memcpy(tail, joined, headLength + 1 + tailLength + 1);
    return 1;
}

// Rewrites every component after the first backslash with the name under
// which its folder lists it (the long name, in the file system's case).
int ExpandLongPath(const char *path, char *out, int outSize)
{
    char remaining[MAX_PATH];
    char tail[MAX_PATH] = "";
    WIN32_FIND_DATAA entry;

    size_t length = strlen(path);
    if (length >= MAX_PATH)
        return 0;
    memcpy(remaining, path, length + 1);
    if (!LookUpEntry(remaining, &entry))
        return 0;

    int haveEntry = 1;
    for (;;) {
        char *lastSlash = strrchr(remaining, '\\');
        if (!lastSlash) {
            if (!PrependComponent(remaining, tail))
                return 0;
            break;
        }
        // A component that lists no entry of its own (the share of a
        // \\server\share path) keeps the text it was typed with.
        const char *name = haveEntry ? entry.cFileName : lastSlash + 1;
        if (!PrependComponent(name, tail))
            return 0;
        *lastSlash = '\0';
        haveEntry = LookUpEntry(remaining, &entry);
    }

    if (outSize <= 0 || strlen(tail) >= (size_t)outSize)
        return 0;
    memcpy(out, tail, strlen(tail) + 1);
    return 1;
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

void ShowProblem(HWND owner, const char *text)
{
    MessageBoxA(owner, text, "問題", MB_ICONERROR);
}
