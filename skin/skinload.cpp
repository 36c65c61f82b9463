// The skin loader. A new skin is built completely beside the one in force
// and replaces it only at the end: paints and dock moves keep running in
// the loops of our own message boxes while a load is under way.
#include "skinload.h"

#include <string.h>

#include "../shell/appstate.h"
#include "../shell/helpers.h"
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
    ShowProblem(NULL, "不正なファイル形式です。");
}

// The outline is the skin's, built before it was put in force; the system
// owns it from here on.
static void FitWindowToSkin(HWND window, HRGN outline)
{
    BITMAP picture;
    if (GetObjectA(AppState.SkinBitmap, sizeof picture, &picture))
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

int ReadSkinFile(HWND window, const char *path, HRGN *outline)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == NULL || file == INVALID_HANDLE_VALUE)
        return 0;

    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        CloseHandle(file);
        return 0;
    }
    if (sizeHigh != 0 || size > SKIN_LARGEST_FILE) {
        CloseHandle(file);
        ShowInvalidFormat();
        return 0;
    }

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size ? size : 1);
    unsigned char *image = block ? (unsigned char *)GlobalLock(block) : NULL;
    DWORD bytesRead = 0;
    if (!image || !ReadFile(file, image, size, &bytesRead, NULL)) {
        if (image)
            GlobalUnlock(block);
        if (block)
            GlobalFree(block);
        CloseHandle(file);
        return 0;
    }

    SkinLayout layout;
    int verdict = CheckSkinImage(image, bytesRead, &layout); // only the bytes read count
    HBITMAP picture = verdict == SKIN_OK ? MakeSkinBitmap(window, image, &layout) : NULL;
    CloseHandle(file);
    // An outline too complex for the system is a picture we refuse.
    int tooComplex = 0;
    *outline = picture ? BuildKeyColourRegion(window, picture, 0, 0, &tooComplex) : NULL;
    if (tooComplex) {
        DeleteObject(picture);
        picture = NULL;
    }

    if (picture)
        PutSkinInForce(image, picture);
    // Nothing reads the file image once its picture exists.
    GlobalUnlock(block);
    GlobalFree(block);
    if (!picture) {
        ShowInvalidFormat();
        return 0;
    }
    return 1;
}

int LoadSkinFile(HWND window, const char *path)
{
    HRGN outline;
    if (!ReadSkinFile(window, path, &outline))
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
    builtIn->headerWord = 1;
    memcpy(builtIn->author, BuiltInAuthor, sizeof BuiltInAuthor);
    memcpy(builtIn->dataName, BuiltInDataName, sizeof BuiltInDataName);
    memcpy(builtIn->homePage, BuiltInHomePage, sizeof BuiltInHomePage);
    memcpy(builtIn->mailAddress, BuiltInMailAddress, sizeof BuiltInMailAddress);
    builtIn->faceLeft = 5;
    builtIn->faceTop = 11;
    builtIn->dockOverlap = 50;
    builtIn->dockRise = 35;
    builtIn->extraValue = 2;
    PutSkinInForce(header, LoadBitmapA(AppState.AppInstance, "BACK"));
    FitWindowToSkin(window, BuildKeyColourRegion(window, AppState.SkinBitmap, 0, 0));
    return 1;
}
