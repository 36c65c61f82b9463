// Painting the face: the picture with the time's bitmaps on it, compared
// pixel for pixel with a picture composed here from the same resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/appstate.h"
#include "skin/face.h"
#include "skin/skin.h"
#include "region_reference.h"
#include "testkit.h"

namespace {

using Pixels = std::vector<unsigned>;

struct Picture {
    int width = 0, height = 0;
    Pixels pixels; // top-down, 0x00RRGGBB
    unsigned at(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

Picture ReadBitmap(HBITMAP bitmap)
{
    Picture picture;
    BITMAP size;
    GetObjectA(bitmap, sizeof size, &size);
    picture.width = size.bmWidth;
    picture.height = size.bmHeight;
    picture.pixels.resize((size_t)size.bmWidth * size.bmHeight);
    BITMAPINFO info = TopDown32(size.bmWidth, size.bmHeight);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, size.bmHeight, picture.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    for (unsigned &pixel : picture.pixels)
        pixel &= 0xFFFFFF;
    return picture;
}

Picture ReadResource(const char *name)
{
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), name);
    Picture picture = ReadBitmap(bitmap);
    DeleteObject(bitmap);
    return picture;
}

// Lays a face bitmap on the picture: only its non-white pixels count.
void Overlay(Picture &target, const char *name, int x, int y)
{
    Picture piece = ReadResource(name);
    for (int py = 0; py < piece.height; py++)
        for (int px = 0; px < piece.width; px++) {
            int tx = x + px, ty = y + py;
            if (tx >= 0 && ty >= 0 && tx < target.width && ty < target.height && piece.at(px, py) != 0xFFFFFF)
                target.pixels[(size_t)ty * target.width + tx] = piece.at(px, py);
        }
}

std::string Digit(int value)
{
    return "NO" + std::to_string(value);
}

// What the face must look like, composed independently of the painter.
Picture Expected(const Picture &skin, int originX, int originY, const char *hms, const char *mark)
{
    Picture face = skin;
    int x = originX, y = originY;
    if (mark)
        Overlay(face, mark, x + 1, y + (std::string(mark) == "AM" ? 2 : 11));
    std::string text = hms; // "H:MM:SS" or "HH:MM:SS"
    size_t colon = text.find(':');
    std::string hour = text.substr(0, colon);
    if (hour.size() == 2)
        Overlay(face, Digit(hour[0] - '0').c_str(), x + 17, y + 1);
    Overlay(face, Digit(hour.back() - '0').c_str(), x + 28, y + 1);
    Overlay(face, "COLON", x + 39, y + 1);
    Overlay(face, Digit(text[colon + 1] - '0').c_str(), x + 43, y + 1);
    Overlay(face, Digit(text[colon + 2] - '0').c_str(), x + 54, y + 1);
    Overlay(face, "COLON", x + 65, y + 1);
    Overlay(face, Digit(text[colon + 4] - '0').c_str(), x + 69, y + 1);
    Overlay(face, Digit(text[colon + 5] - '0').c_str(), x + 80, y + 1);
    return face;
}

class Face : public testing::Test {
protected:
    HBITMAP skin = NULL;
    Picture skinPicture;

    void SetUp() override
    {
        memset(&AppState, 0, sizeof AppState);
        AppState.AppInstance = GetModuleHandleA(NULL);
        UseSkin(LoadBitmapA(GetModuleHandleA(NULL), "BACK"), 5, 11);
    }
    void TearDown() override
    {
        DeleteObject(AppState.SkinBitmap);
        AppState.SkinBitmap = NULL;
        SetFaceBitmapCaching(1);
    }
    void UseSkin(HBITMAP picture, int faceLeft, int faceTop)
    {
        if (AppState.SkinBitmap)
            DeleteObject(AppState.SkinBitmap);
        AppState.SkinBitmap = picture;
        SkinHeader.faceLeft = faceLeft;
        SkinHeader.faceTop = faceTop;
        skinPicture = ReadBitmap(picture);
    }
    // Paints the given time into a fresh 32-bit surface of the picture's size.
    Picture Paint(int hour, int minute, int second, int timeSys)
    {
        AppState.ClockOptions.timeSys = timeSys;
        SYSTEMTIME time = {};
        time.wYear = 2026;
        time.wMonth = 12;
        time.wDay = 7;
        time.wHour = (WORD)hour;
        time.wMinute = (WORD)minute;
        time.wSecond = (WORD)second;
        BITMAPINFO info = TopDown32(skinPicture.width, skinPicture.height);
        HDC screen = GetDC(NULL);
        HDC target = CreateCompatibleDC(screen);
        void *bits = NULL;
        HBITMAP surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        HGDIOBJ previous = SelectObject(target, surface);
        PatBlt(target, 0, 0, skinPicture.width, skinPicture.height, BLACKNESS);
        EXPECT_EQ(PaintFaceAt(target, &time), 1);
        GdiFlush();
        Picture painted;
        painted.width = skinPicture.width;
        painted.height = skinPicture.height;
        painted.pixels.assign((unsigned *)bits, (unsigned *)bits + painted.width * painted.height);
        for (unsigned &pixel : painted.pixels)
            pixel &= 0xFFFFFF;
        SelectObject(target, previous);
        DeleteObject(surface);
        DeleteDC(target);
        ReleaseDC(NULL, screen);
        return painted;
    }
    void ExpectFace(int hour, int minute, int second, int timeSys, const char *shown, const char *mark,
                    int originX = 5, int originY = 11)
    {
        Picture painted = Paint(hour, minute, second, timeSys);
        Picture expected = Expected(skinPicture, originX, originY, shown, mark);
        int wrong = 0;
        for (size_t i = 0; i < painted.pixels.size(); i++)
            wrong += painted.pixels[i] != expected.pixels[i];
        EXPECT_EQ(wrong, 0) << hour << ":" << minute << ":" << second << " in " << timeSys << "-hour mode should show "
                            << (mark ? mark : "") << " " << shown;
    }
};

} // namespace

TEST_F(Face, TwentyFourHourForm)
{
    ExpectFace(0, 5, 9, 24, "0:05:09", NULL);
    ExpectFace(9, 0, 0, 24, "9:00:00", NULL);
    ExpectFace(23, 59, 59, 24, "23:59:59", NULL);
    ExpectFace(13, 0, 0, 13, "13:00:00", NULL); // any other hour system: as 24
}

TEST_F(Face, TwelveHourFormWithItsMarks)
{
    ExpectFace(0, 0, 0, 12, "0:00:00", "AM");
    ExpectFace(12, 30, 0, 12, "12:30:00", "AM");
    ExpectFace(13, 0, 0, 12, "1:00:00", "PM");
    ExpectFace(22, 15, 40, 12, "10:15:40", "PM");
}

TEST_F(Face, TheHoursTensPlaceShowsThePicture)
{
    Picture painted = Paint(7, 0, 0, 24);
    for (int y = 12; y < 30; y++)
        for (int x = 22; x < 31; x++)
            ASSERT_EQ(painted.at(x, y), skinPicture.at(x, y)) << x << "," << y;
    // And turning 12-hour mode off leaves the mark's box as the picture has it.
    Paint(13, 0, 0, 12);
    painted = Paint(13, 0, 0, 24);
    for (int y = 12; y < 30; y++)
        for (int x = 6; x < 20; x++)
            ASSERT_EQ(painted.at(x, y), skinPicture.at(x, y)) << x << "," << y;
}

TEST_F(Face, FaceOriginAtTheCorner)
{
    std::vector<unsigned> plain(120 * 40, 0x00C0C0C0);
    HWND window = MakeTestWindow(0, 0, 10, 10, WS_POPUP);
    UseSkin(MakePicture(window, 120, 40, plain.data()), 0, 0);
    DestroyWindow(window);
    ExpectFace(10, 20, 30, 24, "10:20:30", NULL, 0, 0);
    Picture painted = Paint(8, 0, 0, 24);
    EXPECT_NE(painted.at(28 + 3, 1), 0xC0C0C0u) << "the hour's ones digit starts at column 28, row 1";
}

TEST_F(Face, PictureSmallerThanTheFaceShowsWhatFits)
{
    std::vector<unsigned> plain(40 * 15, 0x00FFFF00);
    HWND window = MakeTestWindow(0, 0, 10, 10, WS_POPUP);
    UseSkin(MakePicture(window, 40, 15, plain.data()), 5, 3);
    DestroyWindow(window);
    ExpectFace(23, 59, 59, 12, "11:59:59", "PM", 5, 3);
}

TEST_F(Face, NothingIsPaintedWithoutASkin)
{
    DeleteObject(AppState.SkinBitmap);
    AppState.SkinBitmap = NULL;
    HDC screen = GetDC(NULL);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(PaintFaceAt(screen, &now), 1);
    ReleaseDC(NULL, screen);
    UseSkin(LoadBitmapA(GetModuleHandleA(NULL), "BACK"), 5, 11);
}

// How many more GDI objects this process can make: the system's table of
// them is finite, so every object a paint leaves behind is room lost.
static int GdiRoom()
{
    std::vector<HRGN> made;
    made.reserve(70000);
    HRGN region;
    while (made.size() < 70000 && (region = CreateRectRgn(0, 0, 1, 1)) != NULL)
        made.push_back(region);
    for (HRGN each : made)
        DeleteObject(each);
    return (int)made.size();
}

TEST_F(Face, TensOfThousandsOfPaintsLeakNothing)
{
    // GetGuiResources counts nothing here; leaks are seen by their effect:
    // room lost in the object table, and wrong pixels once it runs out.
    for (int keep = 0; keep <= 1; keep++) {
        SetFaceBitmapCaching(keep);
        Paint(22, 15, 40, 12); // the kept face bitmaps are loaded once, here
        int roomBefore = GdiRoom();
        for (int i = 0; i < 12000; i++)
            Paint(i % 24, i % 60, (i * 7) % 60, i % 2 ? 12 : 24);
        int lost = roomBefore - GdiRoom();
        EXPECT_LE(lost, 16) << lost << " objects left behind by 12000 paints, face bitmaps kept: " << keep;
        ExpectFace(22, 15, 40, 12, "10:15:40", "PM");
        ExpectFace(23, 59, 59, 24, "23:59:59", NULL);
    }
}

TEST(FaceTransparentBlit, RefusesNullDeviceContexts)
{
    HDC screen = GetDC(NULL);
    EXPECT_EQ(TransparentBlit(NULL, 0, 0, 1, 1, screen, 0, 0, 1, 1, RGB(255, 255, 255)), 0);
    EXPECT_EQ(TransparentBlit(screen, 0, 0, 1, 1, NULL, 0, 0, 1, 1, RGB(255, 255, 255)), 0);
    ReleaseDC(NULL, screen);
}
