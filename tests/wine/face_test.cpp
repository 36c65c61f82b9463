// Painting the face: the picture with the time's bitmaps on it. Whole
// paints are compared pixel for pixel with a picture composed here from the
// same resources; paints of part of the window, and the window after a tick
// of the timer, with the whole-picture method the clock used before.
#include <windows.h>

#include <gtest/gtest.h>
#include <limits.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/appstate.h"
#include "face_reference.h"
#include "region_reference.h"
#include "skin/face.h"
#include "skin/skin.h"
#include "skin/skinload.h"
#include "skinbuilder.h"
#include "startup/lifecycle.h"
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

SYSTEMTIME At(int hour, int minute, int second)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 7;
    time.wHour = (WORD)hour;
    time.wMinute = (WORD)minute;
    time.wSecond = (WORD)second;
    return time;
}

// A 32-bit surface to paint into, standing in for the window.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info = TopDown32(width, height);
        HDC screen = GetDC(NULL);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, (void **)&bits_, NULL, 0);
        previous_ = SelectObject(dc_, bitmap_);
        ReleaseDC(NULL, screen);
    }
    ~Surface()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;
    HDC dc() const { return dc_; }
    void fill(unsigned colour)
    {
        GdiFlush();
        std::fill(bits_, bits_ + (size_t)width_ * height_, colour);
    }
    // Paints the time as a repaint of the area would (BeginPaint clips the
    // DC to it); the whole surface without an area.
    void paint(const SYSTEMTIME &time, const RECT *area = NULL)
    {
        SaveDC(dc_);
        if (area)
            IntersectClipRect(dc_, area->left, area->top, area->right, area->bottom);
        EXPECT_EQ(PaintFaceAt(dc_, &time), 1);
        RestoreDC(dc_, -1);
    }
    Picture read() const
    {
        GdiFlush();
        Picture picture;
        picture.width = width_;
        picture.height = height_;
        picture.pixels.assign(bits_, bits_ + (size_t)width_ * height_);
        for (unsigned &pixel : picture.pixels)
            pixel &= 0xFFFFFF;
        return picture;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    unsigned *bits_ = NULL;
};

// A picture in which every pixel differs from its neighbours, so that a
// piece or a copy off by one pixel shows.
HBITMAP PatternedPicture(int width, int height)
{
    std::vector<unsigned> pixels((size_t)width * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            pixels[(size_t)y * width + x] =
                ((unsigned)(x * 37 + y * 11) & 0xFF) << 16 | ((unsigned)(x ^ y) & 0xFF) << 8 | ((unsigned)(x * y) & 0xFF);
    return MakePicture(NULL, width, height, pixels.data());
}

// The built-in picture for a width of 0, else a patterned one.
HBITMAP SkinPicture(int width, int height)
{
    return width ? PatternedPicture(width, height) : LoadBitmapA(GetModuleHandleA(NULL), "BACK");
}

// Puts a skin in force by hand, as the loader does.
void UseSkinByHand(HBITMAP picture, int faceLeft, int faceTop)
{
    ReleaseFaceResources();
    if (AppState.SkinBitmap)
        DeleteObject(AppState.SkinBitmap);
    AppState.SkinBitmap = picture;
    SkinHeader.faceLeft = faceLeft;
    SkinHeader.faceTop = faceTop;
}

// The surface must hold the reference inside the area and the untouched
// colour outside it.
void ExpectPixels(const Picture &painted, const Picture &reference, const RECT *area, unsigned untouched,
                  const std::string &what)
{
    int wrong = 0;
    POINT first = {-1, -1};
    for (int y = 0; y < painted.height; y++)
        for (int x = 0; x < painted.width; x++) {
            POINT point = {x, y};
            unsigned expected = !area || PtInRect(area, point) ? reference.at(x, y) : untouched;
            if (painted.at(x, y) != expected && wrong++ == 0)
                first = point;
        }
    EXPECT_EQ(wrong, 0) << what << ": first wrong pixel at " << first.x << "," << first.y;
}

class Face : public testing::Test {
protected:
    Picture skinPicture;

    void SetUp() override
    {
        memset(&AppState, 0, sizeof AppState);
        AppState.AppInstance = GetModuleHandleA(NULL);
        UseSkin(SkinPicture(0, 0), 5, 11);
    }
    void TearDown() override
    {
        ReleaseFaceResources();
        DeleteObject(AppState.SkinBitmap);
        AppState.SkinBitmap = NULL;
    }
    void UseSkin(HBITMAP picture, int faceLeft, int faceTop)
    {
        UseSkinByHand(picture, faceLeft, faceTop);
        skinPicture = ReadBitmap(picture);
    }
    // Paints the given time into a fresh surface of the picture's size.
    Picture Paint(int hour, int minute, int second, int timeSys)
    {
        AppState.ClockOptions.timeSys = timeSys;
        Surface surface(skinPicture.width, skinPicture.height);
        surface.fill(0);
        surface.paint(At(hour, minute, second));
        return surface.read();
    }
    // The whole-picture method's pixels for the time.
    Picture Reference(const SYSTEMTIME &time)
    {
        Surface surface(skinPicture.width, skinPicture.height);
        EXPECT_EQ(PaintFaceWholePicture(surface.dc(), &time), 1);
        return surface.read();
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

// The skins and times every partial paint is proven over.
struct SkinCase {
    const char *name;
    int width, height; // 0: the built-in picture
    int faceLeft, faceTop;
};
const SkinCase Skins[] = {
    {"built-in skin", 0, 0, 5, 11},
    {"face at 0,0", 120, 40, 0, 0},
    {"face partly outside", 60, 20, -20, 8},
    {"large picture", 2048, 2048, 1203, 1517},
};

struct TimeCase {
    const char *name;
    int timeSys, hour, minute, second;
};
const TimeCase Times[] = {
    {"24-hour", 24, 23, 59, 59},           {"24-hour, no hour tens", 24, 0, 5, 9},
    {"12-hour AM", 12, 12, 30, 0},         {"12-hour AM, no hour tens", 12, 0, 0, 0},
    {"12-hour PM", 12, 22, 15, 40},        {"12-hour PM, no hour tens", 12, 13, 0, 0},
};

const unsigned Untouched = 0x00FF00FF;

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
    UseSkin(MakePicture(NULL, 120, 40, plain.data()), 0, 0);
    ExpectFace(10, 20, 30, 24, "10:20:30", NULL, 0, 0);
    Picture painted = Paint(8, 0, 0, 24);
    EXPECT_NE(painted.at(28 + 3, 1), 0xC0C0C0u) << "the hour's ones digit starts at column 28, row 1";
}

TEST_F(Face, PictureSmallerThanTheFaceShowsWhatFits)
{
    std::vector<unsigned> plain(40 * 15, 0x00FFFF00);
    UseSkin(MakePicture(NULL, 40, 15, plain.data()), 5, 3);
    ExpectFace(23, 59, 59, 12, "11:59:59", "PM", 5, 3);
}

TEST_F(Face, NothingIsPaintedWithoutASkin)
{
    ReleaseFaceResources();
    DeleteObject(AppState.SkinBitmap);
    AppState.SkinBitmap = NULL;
    Surface surface(10, 10);
    surface.fill(Untouched);
    surface.paint(At(12, 0, 0));
    Picture painted = surface.read();
    EXPECT_EQ(std::count(painted.pixels.begin(), painted.pixels.end(), Untouched), 100);
    RECT face;
    EXPECT_FALSE(FaceArea(&face));
    UseSkin(SkinPicture(0, 0), 5, 11);
}

// A repaint of any part of the window (the whole of it at its first show,
// the face at a tick, a strip uncovered) shows the pixels of the whole-
// picture method there and leaves the rest of the window alone. And as the
// timer has it, a window painted whole once and then only at its face from
// time to time, the hour system changing on the way, shows them all over.
TEST_F(Face, RepaintsOfAnyAreaShowTheWholePictureMethodsPixels)
{
    for (const SkinCase &skin : Skins) {
        UseSkin(SkinPicture(skin.width, skin.height), skin.faceLeft, skin.faceTop);
        RECT face;
        ASSERT_TRUE(FaceArea(&face)) << skin.name;
        RECT strip = {skin.faceLeft + 31, 0, skin.faceLeft + 46, skinPicture.height};
        const struct {
            const char *name;
            const RECT *area;
        } areas[] = {{"whole window", NULL}, {"face", &face}, {"strip across the face", &strip}};
        Surface surface(skinPicture.width, skinPicture.height), ticking(skinPicture.width, skinPicture.height);
        ticking.paint(At(21, 43, 5));
        for (const TimeCase &when : Times) {
            AppState.ClockOptions.timeSys = when.timeSys;
            SYSTEMTIME time = At(when.hour, when.minute, when.second);
            Picture reference = Reference(time);
            std::string what = std::string(skin.name) + ", " + when.name;
            for (const auto &area : areas) {
                surface.fill(Untouched);
                surface.paint(time, area.area);
                ExpectPixels(surface.read(), reference, area.area, Untouched, what + ", " + area.name);
            }
            ticking.paint(time, &face);
            ExpectPixels(ticking.read(), reference, NULL, 0, what + ", from tick to tick");
        }
    }
}

TEST_F(Face, TenThousandPaintsLeakNothing)
{
    // Leaks are seen by their effect: room lost in the object table, and
    // wrong pixels once it runs out.
    RECT face;
    ASSERT_TRUE(FaceArea(&face));
    Surface surface(skinPicture.width, skinPicture.height);
    surface.paint(At(22, 15, 40)); // what the painter keeps is made here
    int roomBefore = GdiRoom();
    for (int i = 0; i < 10000; i++) {
        AppState.ClockOptions.timeSys = i % 2 ? 12 : 24;
        surface.paint(At(i % 24, i % 60, (i * 7) % 60), i % 5 ? &face : NULL);
    }
    int lost = roomBefore - GdiRoom();
    EXPECT_EQ(lost, 0) << lost << " objects left behind by 10000 paints";
    ExpectFace(22, 15, 40, 12, "10:15:40", "PM");
    ExpectFace(23, 59, 59, 24, "23:59:59", NULL);
}

TEST(FaceTransparentBlit, RefusesNullDeviceContexts)
{
    HDC screen = GetDC(NULL);
    EXPECT_EQ(TransparentBlit(NULL, 0, 0, 1, 1, screen, 0, 0, 1, 1, RGB(255, 255, 255)), 0);
    EXPECT_EQ(TransparentBlit(screen, 0, 0, 1, 1, NULL, 0, 0, 1, 1, RGB(255, 255, 255)), 0);
    ReleaseDC(NULL, screen);
}

namespace {

// The clock window itself, with a skin set up by hand and no outline, so
// that its update region and pixels are the face's alone.
class FaceClock : public testing::Test {
protected:
    ClockTestWindows windows{false};
    HWND clock = windows.clock();
    // A tick also looks at the foreground window for docking, which would
    // move or hide this clock without a perch; held back as under a dialog.
    FaceClock() { AppState.DockingSuspended = 1; }

    void useSkin(HBITMAP picture, int faceLeft, int faceTop)
    {
        UseSkinByHand(picture, faceLeft, faceTop);
        BITMAP size;
        GetObjectA(picture, sizeof size, &size);
        SetWindowPos(clock, HWND_TOPMOST, 40, 40, size.bmWidth, size.bmHeight, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        // A new skin repaints the window whole, as the loader has it done.
        InvalidateRect(clock, NULL, FALSE);
        UpdateWindow(clock);
    }
    // Arms the clock's timer in mid-second, waits for its tick and runs its
    // procedure alone; the repaint it asks for is left pending. *late: how
    // long after the next second's boundary the tick came, in ms.
    bool tick(int *late)
    {
        ValidateRect(clock, NULL);
        SYSTEMTIME armed, landed;
        for (GetLocalTime(&armed); armed.wMilliseconds < 300 || armed.wMilliseconds > 700; GetLocalTime(&armed))
            Sleep(20);
        ArmSecondTimer(clock);
        bool ticked = PumpUntilTimer(&landed);
        KillTimer(clock, CLOCK_TIMER_ID);
        *late = DayMs(landed) - (DayMs(armed) - armed.wMilliseconds + 1000);
        return ticked;
    }
    static int DayMs(const SYSTEMTIME &t)
    {
        return ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    }
    bool PumpUntilTimer(SYSTEMTIME *dispatched)
    {
        DWORD start = GetTickCount();
        MSG message;
        while (GetTickCount() - start < 3000) {
            if (PeekMessageA(&message, clock, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                GetLocalTime(dispatched);
                DispatchMessageA(&message);
                return true;
            }
            MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_TIMER);
        }
        return false;
    }
    Picture windowPixels()
    {
        RECT client;
        GetClientRect(clock, &client);
        Surface copy(client.right, client.bottom);
        HDC windowDc = GetDC(clock);
        BitBlt(copy.dc(), 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
        ReleaseDC(clock, windowDc);
        return copy.read();
    }
};

bool SameSecond(const SYSTEMTIME &a, const SYSTEMTIME &b)
{
    return a.wHour == b.wHour && a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

} // namespace

// Each tick comes just past a second's boundary and asks for the face's
// rectangle alone, clipped to the picture, and nothing when the face lies
// wholly outside; the repaint that follows leaves the window as the
// whole-picture method would have painted it.
TEST_F(FaceClock, ATickRepaintsTheFaceAlone)
{
    const struct {
        const char *name;
        int width, height, faceLeft, faceTop; // width 0: the built-in picture
        RECT face;                           // empty: nothing to repaint
    } rows[] = {
        {"built-in skin", 0, 0, 5, 11, {6, 12, 94, 30}},
        {"face partly outside", 60, 20, -20, 8, {0, 9, 60, 20}},
        {"face right of the picture", 60, 20, 60, 0, {0, 0, 0, 0}},
        {"face origin at the largest offsets", 60, 20, INT_MAX, INT_MAX, {0, 0, 0, 0}},
        {"face above and left of the picture", 60, 20, -89, -19, {0, 0, 0, 0}},
    };
    int soonest = INT_MAX;
    for (const auto &row : rows) {
        useSkin(SkinPicture(row.width, row.height), row.faceLeft, row.faceTop);
        int late;
        ASSERT_TRUE(tick(&late)) << row.name;
        // The tick shows the next second, and (in the best of the rows, a
        // busy machine delays some) only just after it began.
        EXPECT_TRUE(late >= 0 && late < 1000) << row.name << ": " << late << " ms past the second";
        soonest = late < soonest ? late : soonest;
        HRGN update = CreateRectRgn(0, 0, 0, 0);
        HRGN expected = CreateRectRgnIndirect(&row.face);
        GetUpdateRgn(clock, update, FALSE);
        EXPECT_TRUE(SameRegion(update, expected)) << row.name;
        DeleteObject(expected);
        DeleteObject(update);
        if (IsRectEmpty(&row.face))
            continue;
        // The repaint uses the local time; a second boundary between the
        // two readings would leave it unknown (the tick aims just past one).
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        UpdateWindow(clock);
        GetLocalTime(&after);
        if (!SameSecond(before, after))
            continue;
        Surface reference(row.width ? row.width : 101, row.width ? row.height : 38);
        PaintFaceWholePicture(reference.dc(), &before);
        ExpectPixels(windowPixels(), reference.read(), NULL, 0, row.name);
    }
    EXPECT_LT(soonest, 80) << "ms past the second's boundary";
}

namespace {

class FaceSkins : public testing::Test {
protected:
    ClockTestWindows windows;
    HWND clock = windows.clock();
    TempFolder folder;

    std::string wideSkin()
    {
        skintest::SkinRecipe recipe;
        recipe.width = 120;
        recipe.height = 40; // the face where the built-in skin has it, on other pixels
        folder.write("wide.qve", skintest::BuildSkin(recipe));
        return folder.file("wide.qve");
    }
};

} // namespace

// Whatever the painter keeps goes with the skin it painted: after a switch
// a tick shows the new skin under the face, and a hundred switches, each
// followed by paints, cost no room in the object table.
TEST_F(FaceSkins, SkinSwitchesLeaveNothingBehind)
{
    std::string wide = wideSkin();
    Surface window(120, 40), reference(120, 40);
    // The first show, then a tick; the window must hold what the
    // whole-picture method paints for the tick's time.
    auto showAndTick = [&](const std::string &what) {
        RECT face;
        ASSERT_TRUE(FaceArea(&face)) << what;
        window.fill(0);
        window.paint(At(12, 34, 56));
        window.paint(At(12, 34, 57), &face);
        reference.fill(0);
        SYSTEMTIME tick = At(12, 34, 57);
        PaintFaceWholePicture(reference.dc(), &tick);
        ExpectPixels(window.read(), reference.read(), NULL, 0, what);
    };
    // Each path once first: the system keeps a few objects of its own for
    // the window's DCs from their first use on.
    showAndTick("built-in skin");
    ASSERT_TRUE(LoadSkinFile(clock, ToT(wide).c_str()));
    showAndTick("the skin from the file");
    ASSERT_TRUE(UseBuiltInSkin(clock));
    ReleaseFaceResources();
    int roomHoldingNothing = GdiRoom();
    showAndTick("built-in skin again");
    ASSERT_TRUE(LoadSkinFile(clock, ToT(wide).c_str()));
    EXPECT_EQ(GdiRoom(), roomHoldingNothing) << "a new skin starts with nothing kept";

    showAndTick("the skin from the file again");
    int roomBefore = GdiRoom();
    for (int i = 0; i < 100; i++) {
        ASSERT_TRUE(i % 2 ? LoadSkinFile(clock, ToT(wide).c_str()) : UseBuiltInSkin(clock));
        showAndTick("switch " + std::to_string(i));
    }
    int lost = roomBefore - GdiRoom();
    EXPECT_EQ(lost, 0) << lost << " objects left behind by 100 skin switches";
}
