// The skin loader. A new skin is built completely beside the one in force
// and replaces it only at the end: paints and dock moves keep running in
// the loops of our own message boxes while a load is under way.
#include "skinload.h"

#include <string.h>

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "face.h"
#include "region.h"
#include "skin.h"
#include "skinformat.h"

SkinHeaderRecord SkinHeader;

// The built-in skin's credits.
static const char BuiltInAuthor[] = "(C) 2026 Tickperch developers";
static const char BuiltInDataName[] = "ﾃﾞﾌｫﾙﾄﾃﾞｰﾀ";
static const char BuiltInHomePage[] = "https://tickperch.invalid/";
static const char BuiltInMailAddress[] = "tickperch@tickperch.invalid";

static void ShowInvalidFormat(void)
{
    ShowProblem(NULL, TEXT("不正なファイル形式です。"));
}

// The outline is the skin's, built before it was put in force; the system
// owns it from here on.
static void FitWindowToSkin(HWND window, HRGN outline)
{
    BITMAP picture;
    if (GetObject(AppState.SkinBitmap, sizeof picture, &picture))
        SetWindowPos(window, NULL, 0, 0, picture.bmWidth, picture.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowRgn(window, outline, TRUE);
}

static void PutSkinInForce(const unsigned char *header, HBITMAP picture)
{
    ReleaseFaceResources(); // the painter keeps nothing from one skin to the next
    if (AppState.SkinBitmap)
        DeleteObject(AppState.SkinBitmap);
    memcpy(&SkinHeader, header, sizeof SkinHeader);
    AppState.SkinBitmap = picture;
}

// Makes the device-dependent picture of a checked image; NULL when the
// system refuses it.
static HBITMAP MakeSkinBitmap(HWND window, const unsigned char *image, const SkinLayout *layout)
{
    // The system gets a plain 40-byte header with the masks and colour table
    // after it, in an aligned buffer of ours (the file's sits at an odd
    // offset). The extras of the later header versions go: a colour profile
    // named there would send the system to read a stranger's file, or bytes
    // outside our copy.
    struct {
        BITMAPINFOHEADER header;
        DWORD masksAndColours[3 + 256];
    } info;
    const size_t tableBytes = (size_t)layout->colorCount * 4;
    const size_t masksBytes = layout->compression == BI_BITFIELDS ? 12 : 0;
    memcpy(&info.header, image + layout->infoOffset, sizeof info.header);
    info.header.biSize = sizeof info.header;
    memcpy(info.masksAndColours, image + layout->infoOffset + sizeof info.header, masksBytes);
    memcpy((unsigned char *)info.masksAndColours + masksBytes,
           image + layout->infoOffset + layout->infoSize - tableBytes, tableBytes);

    HDC screen = GetDC(window);
    HBITMAP picture = CreateDIBitmap(screen, &info.header, CBM_INIT, image + layout->bitsOffset,
                                     (const BITMAPINFO *)&info, DIB_RGB_COLORS);
    ReleaseDC(window, screen);
    return picture;
}

enum { IMAGE_READ, IMAGE_UNREADABLE, IMAGE_TOO_LARGE };

// Reads the whole file into a block of its own, locked at *image; the
// caller frees what was made whatever the answer.
static int ReadSkinImage(HANDLE file, HGLOBAL *block, unsigned char **image, DWORD *length)
{
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return IMAGE_UNREADABLE;
    if (sizeHigh != 0 || size > SKIN_LARGEST_FILE)
        return IMAGE_TOO_LARGE;
    *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size ? size : 1);
    *image = *block ? (unsigned char *)GlobalLock(*block) : NULL;
    return *image && ReadFile(file, *image, size, length, NULL) ? IMAGE_READ : IMAGE_UNREADABLE;
}

// The picture of an image that passes the check, with its outline; NULL
// for one the clock refuses, an outline too complex for the system among
// them.
static HBITMAP MakeCheckedPicture(HWND window, const unsigned char *image, DWORD length, HRGN *outline)
{
    SkinLayout layout;
    if (CheckSkinImage(image, length, &layout) != SKIN_OK) // only the bytes read count
        return NULL;
    HBITMAP picture = MakeSkinBitmap(window, image, &layout);
    int tooComplex = 0;
    *outline = picture ? BuildKeyColourRegion(window, picture, 0, 0, &tooComplex) : NULL;
    if (tooComplex) {
        DeleteObject(picture);
        picture = NULL;
    }
    return picture;
}

// Reads and checks the file and puts its skin in force; gives the skin's
// outline (NULL: a plain rectangle), which the caller hands to the window.
// A file that is no skin of ours is refused with a word to the user; one
// that cannot be opened or read is not the user's doing and fails quietly.
static int PutSkinFileInForce(HWND window, const TCHAR *path, HRGN *outline)
{
    *outline = NULL;
    HANDLE file = CreateFile(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == NULL || file == INVALID_HANDLE_VALUE)
        return 0;
    HGLOBAL block = NULL;
    unsigned char *image = NULL;
    DWORD length = 0;
    int read = ReadSkinImage(file, &block, &image, &length);
    CloseHandle(file);

    HBITMAP picture = read == IMAGE_READ ? MakeCheckedPicture(window, image, length, outline) : NULL;
    if (picture)
        PutSkinInForce(image, picture);
    // Nothing reads the file image once its picture exists.
    if (image)
        GlobalUnlock(block);
    if (block)
        GlobalFree(block);
    if (!picture && read != IMAGE_UNREADABLE)
        ShowInvalidFormat();
    return picture != NULL;
}

int LoadSkinFile(HWND window, const TCHAR *path)
{
    HRGN outline;
    if (!PutSkinFileInForce(window, path, &outline))
        return 0;
    FitWindowToSkin(window, outline);
    return 1;
}

int UseBuiltInSkin(HWND window)
{
    unsigned char header[sizeof(SkinHeaderRecord)];
    SkinHeaderRecord *builtIn = (SkinHeaderRecord *)header;
    memset(header, 0, sizeof header);
    memcpy(builtIn->magic, "QVE", 3);
    builtIn->headerWord = SKIN_HEADER_WORD;
    memcpy(builtIn->author, BuiltInAuthor, sizeof BuiltInAuthor);
    memcpy(builtIn->dataName, BuiltInDataName, sizeof BuiltInDataName);
    memcpy(builtIn->homePage, BuiltInHomePage, sizeof BuiltInHomePage);
    memcpy(builtIn->mailAddress, BuiltInMailAddress, sizeof BuiltInMailAddress);
    builtIn->faceLeft = BUILT_IN_FACE_LEFT;
    builtIn->faceTop = BUILT_IN_FACE_TOP;
    builtIn->dockOverlap = BUILT_IN_DOCK_OVERLAP;
    builtIn->dockRise = BUILT_IN_DOCK_RISE;
    builtIn->extraValue = SKIN_EXTRA_VALUE;
    PutSkinInForce(header, LoadBitmap(AppState.AppInstance, TEXT("BACK")));
    FitWindowToSkin(window, BuildKeyColourRegion(window, AppState.SkinBitmap, 0, 0));
    return 1;
}
