// Not tests: the screenshots of docs/, taken from the real program by
// tools/screenshots. Each picture is a part of the screen saved as a BMP
// file (shot-NAME.bmp) in the program's folder.
#include "e2ekit.h"
#include "phases.h"

namespace {

// Saves a part of the screen as a 24-bit BMP file in the program's folder.
bool SaveBmp(const std::string &fileName, RECT area)
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<unsigned> pixels = CaptureScreen(area);
    const DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    std::vector<unsigned char> rows((size_t)stride * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            unsigned pixel = pixels[(size_t)y * width + x];
            unsigned char *out = &rows[(size_t)(height - 1 - y) * stride + (size_t)x * 3];
            out[0] = (unsigned char)pixel;
            out[1] = (unsigned char)(pixel >> 8);
            out[2] = (unsigned char)(pixel >> 16);
        }
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + (DWORD)rows.size();
    HANDLE file = CreateFileA(App.file(fileName.c_str()).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    bool saved = file != INVALID_HANDLE_VALUE && WriteFile(file, &header, sizeof header, &written, NULL) &&
                 WriteFile(file, &info, sizeof info, &written, NULL) &&
                 WriteFile(file, rows.data(), (DWORD)rows.size(), &written, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return saved;
}

void SaveArea(const char *name, RECT area)
{
    CHECK(SaveBmp(std::string("shot-") + name + ".bmp", area), std::string("saved the picture ") + name);
}

RECT Around(RECT rect, int margin)
{
    InflateRect(&rect, margin, margin);
    return rect;
}

// The clock on its perch: the perch's title bar and the clock above it.
void ShootPerched(const char *name, const PerchedClock &run)
{
    RECT perch = Rect(run.perch), clock = Rect(run.clock);
    RECT area = {perch.left - 12, clock.top - 12, perch.right + 12, perch.top + 90};
    PumpMessages(1500); // the face at its next second
    SaveArea(name, area);
}

// Opens a menu command's dialog, takes its picture and closes it.
void ShootDialog(const char *name, HWND clock, UINT command, const char *caption)
{
    PostMessageA(clock, WM_COMMAND, command, 0);
    HWND dialog = FindMessageBox(caption);
    CHECK(dialog != NULL, std::string("the dialog ") + name + " opens");
    if (!dialog)
        return;
    PumpUntil([&] { return IsWindowVisible(dialog) != 0; });
    PumpMessages(600);
    SaveArea(name, Around(Rect(dialog), 8));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    CHECK(PumpUntil([&] { return !IsWindow(dialog); }), std::string("and closes: ") + name);
    PumpMessages(1200); // the clock comes back at its next tick
}

// Wine's own colour scheme writes captions in black; the pictures show the
// captions in the colours Windows has always shipped with.
void UseClassicCaptionColours()
{
    const int elements[] = {COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT, COLOR_INACTIVECAPTION, COLOR_INACTIVECAPTIONTEXT};
    const COLORREF colours[] = {RGB(10, 36, 106), RGB(255, 255, 255), RGB(128, 128, 128), RGB(212, 208, 200)};
    SetSysColors(4, elements, colours);
}

void BuiltInSkin()
{
    UseClassicCaptionColours();
    PerchedClock run;
    StartOnPerch(run);
    CHECK(run.clock != NULL, "the clock runs");
    if (!run.clock)
        return;
    ShootPerched("perched", run);

    RECT clock = Rect(run.clock);
    HWND menu = NULL;
    CHECK(ClickUntil(POINT{clock.left + 40, clock.top + 20}, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP,
                     [&] { return (menu = FindWindowA("#32768", NULL)) && IsWindowVisible(menu); }),
          "the menu opens");
    if (menu) {
        PumpMessages(300);
        RECT area = Rect(menu);
        UnionRect(&area, &area, &clock);
        SaveArea("menu", Around(area, 12));
        keybd_event(VK_ESCAPE, 0, 0, 0);
        keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
        PumpUntil([&] { return !IsWindowVisible(menu); });
    }
    ShootDialog("settings", run.clock, 40004, "Tickperch OV - 設定");
    ShootDialog("version", run.clock, 40002, "ﾊﾞｰｼﾞｮﾝ情報");
    ExitAndExpectCleanEnd(run.process, run.clock);
}

void SampleSkin()
{
    UseClassicCaptionColours();
    PerchedClock run;
    StartOnPerch(run, App.file("skins\\banner.qve"));
    CHECK(run.clock != NULL, "the clock runs with the banner skin");
    if (!run.clock)
        return;
    ShootPerched("perched-banner", run);
    ShootDialog("properties", run.clock, 40007, "ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ");
    ExitAndExpectCleanEnd(run.process, run.clock);
}

// The film of the README: frames of one part of the screen, one every
// 100 ms of real time (so the seconds tick at their pace), each taken after
// `step` has done its bit to the windows; tools/screenshots makes the GIF.
struct Film {
    RECT area;
    int frames = 0;
    DWORD start = GetTickCount();
    bool saved = true;
    void shoot(int count, const std::function<void(int)> &step = nullptr)
    {
        for (int i = 0; i < count; i++) {
            if (step)
                step(i);
            const DWORD due = start + 100u * (DWORD)frames;
            PumpUntil([&] { return (LONG)(GetTickCount() - due) >= 0; }, 1000);
            saved = SaveBmp(Format("frame-%03d.bmp", frames++), area) && saved;
        }
    }
};

// The clock follows a window that is moved and resized, then another one
// that comes to the front, and back.
void Moving()
{
    UseClassicCaptionColours();
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    HWND other = MakePerch(420, 330, 320, 190);
    HWND perch = MakePerch(40, 150, 500, 230);
    Activate(perch);
    ClockProcess process;
    CHECK(process.start(), "the clock starts");
    HWND clock = WaitForShownClock();
    CHECK(clock && ClockSettlesAt(clock, PerchPoint(perch, 500)), "it perches on the window in front");
    if (!clock)
        return;
    PumpMessages(700);

    Film film;
    film.area = RECT{0, 60, 760, 540};
    film.shoot(8);
    film.shoot(16, [&](int i) { SetWindowPos(perch, NULL, 40 + 12 * (i + 1), 150 + 5 * (i + 1), 0, 0,
                                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
    film.shoot(4);
    film.shoot(24, [&](int i) { SetWindowPos(perch, NULL, 0, 0, i < 12 ? 480 - 20 * i : 260 + 20 * (i - 11),
                                             230, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); });
    film.shoot(4);
    film.shoot(12, [&](int i) { if (i == 0) Activate(other); });
    film.shoot(12, [&](int i) { if (i == 0) Activate(perch); });
    CHECK(film.saved, Format("saved %d frames", film.frames));
    ExitAndExpectCleanEnd(process, clock);
}

} // namespace

const Phase ShotPhases[] = {
    {"shots_builtin", BuiltInSkin},
    {"shots_sample", SampleSkin},
    {"shots_moving", Moving},
    {NULL, NULL},
};
