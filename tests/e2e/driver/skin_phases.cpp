// Skins at start-up and the face on screen.
#include "e2ekit.h"
#include "phases.h"
#include "skinbuilder.h"

using namespace skintest;

static const char DataLostText[] = "データが取得できません。以下の問題が考えられます。\n\n"
                                   "・ファイルが他のアプリケーションによって開かれている\n"
                                   "・デフォルトデータがない\n"
                                   "・初期化ファイルのデータが異常\n\n"
                                   "デフォルトデータを使用します。";

// 120 x 40 with a key-coloured border two pixels wide and one hole.
static std::string WriteWideSkin()
{
    SkinRecipe recipe;
    recipe.width = 120;
    recipe.height = 40;
    recipe.faceLeft = 16;
    recipe.faceTop = 10;
    recipe.dockOverlap = 30;
    recipe.dockRise = 20;
    recipe.palette = {0x808000, 0xFFFFFF, 0x3050A0};
    recipe.pixel = [](int x, int y) -> uint32_t {
        if (x < 2 || y < 2 || x >= 118 || y >= 38 || (x == 110 && y == 5))
            return 0;
        return (x < 4 || y < 4 || x >= 116 || y >= 36) ? 2 : 1;
    };
    std::string path = App.file("Wide Skin.qve");
    CHECK(WriteBytes(path, BuildSkin(recipe)), "the skin file is written");
    return path;
}

static bool RegionIs(HWND window, const RECT &outer, const RECT &hole)
{
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    HRGN expected = CreateRectRgn(outer.left, outer.top, outer.right, outer.bottom);
    HRGN gap = CreateRectRgn(hole.left, hole.top, hole.right, hole.bottom);
    CombineRgn(expected, expected, gap, RGN_DIFF);
    bool same = GetWindowRgn(window, shape) != ERROR && EqualRgn(shape, expected);
    DeleteObject(gap);
    DeleteObject(expected);
    DeleteObject(shape);
    return same;
}

static void SkinOnTheCommandLine()
{
    std::string path = WriteWideSkin();
    PerchedClock run;
    StartOnPerch(run, path); // taken whole: no quotes needed for the blank in it
    HWND perch = run.perch, clock = run.clock;
    ClockProcess &process = run.process;
    CHECK(clock != NULL, "the clock shows itself");
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, 500, 30, 20)), "it docks with the skin's overlap and rise");
    RECT rect = Rect(clock);
    CHECK(rect.right - rect.left == 120 && rect.bottom - rect.top == 40,
          Format("the window takes the skin's size (%ld x %ld)", rect.right - rect.left, rect.bottom - rect.top));
    CHECK(RegionIs(clock, RECT{2, 2, 118, 38}, RECT{110, 5, 111, 6}), "and its outline, hole included");
    PumpMessages(1200); // a paint or two
    SaveScreenshot("wide-skin.bmp");
    ExitClock(clock);
    CHECK(process.waitExit() == 0, "the clock ends cleanly");
    char longPath[MAX_PATH];
    GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    CHECK(ReadSetting("DATAFILE", "FILENAME") == longPath, "the skin's path is kept: " +
                                                               ReadSetting("DATAFILE", "FILENAME"));
    CHECK(ReadSetting("TICKPERCH", "INITIALIZE") == "2", "and the run counts as one with a data file");
}

static void QuotedRelativeCommandLine()
{
    // The shell quotes a file opened with the program when its path has a
    // blank; the clock runs in its own folder, so a bare name is relative.
    DeleteFileA(App.settings().c_str());
    PerchedClock run;
    StartOnPerch(run, " \"Wide Skin.qve\" ");
    HWND clock = run.clock;
    ClockProcess &process = run.process;
    CHECK(clock != NULL, "the clock starts");
    RECT rect = Rect(clock);
    CHECK(rect.right - rect.left == 120 && rect.bottom - rect.top == 40,
          Format("a quoted, relative path names the skin (%ld x %ld)", rect.right - rect.left, rect.bottom - rect.top));
    ExitClock(clock);
    CHECK(process.waitExit() == 0, "the clock ends cleanly");
    char longPath[MAX_PATH];
    GetLongPathNameA(App.file("Wide Skin.qve").c_str(), longPath, MAX_PATH);
    CHECK(ReadSetting("DATAFILE", "FILENAME") == longPath, "it is kept as a full path, found from any folder: " +
                                                               ReadSetting("DATAFILE", "FILENAME"));
}

static void MissingSkin()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "2");
    WriteSetting("DATAFILE", "FILENAME", App.file("gone.qve").c_str());
    ClockProcess process;
    process.start();
    HWND box = FindMessageBox("問題");
    CHECK(box != NULL, "a data file that is gone is reported");
    if (box) {
        CHECK(MessageBoxText(box) == DataLostText, "with the whole text: " + MessageBoxText(box));
        PressOk(box);
    }
    HWND perch = MakePerch(100, 200, 700, 400);
    Activate(perch);
    HWND clock = WaitForShownClock();
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, 500)), "the built-in skin docks");
    RECT rect = Rect(clock);
    CHECK(rect.right - rect.left == 101, "it is the built-in skin");
    ExitClock(clock);
    process.waitExit();
    CHECK(ReadSetting("DATAFILE", "FILENAME") == "DEFAULTDATA", "FILENAME becomes DEFAULTDATA");
    CHECK(ReadSetting("TICKPERCH", "INITIALIZE") == "1", "INITIALIZE becomes 1");
}

static void FaceShowsTheSystemTime()
{
    PerchedClock run;
    StartOnPerch(run);
    HWND perch = run.perch, clock = run.clock;
    ClockProcess &process = run.process;
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, 500)), "the clock perches");
    CHECK(ClockTicks(clock), "and ticks");

    // Shortly after each second boundary the face must already show the new second.
    int matched = 0, tries = 8;
    for (int i = 0; i < tries; i++) {
        SYSTEMTIME now;
        do {
            PumpMessages(5);
            GetLocalTime(&now);
        } while (now.wMilliseconds < 250 || now.wMilliseconds > 400);
        FaceReading face = ReadFace(clock);
        SYSTEMTIME after;
        GetLocalTime(&after);
        if (after.wSecond != now.wSecond)
            continue; // the reading took us past a boundary: try the next second
        int shownHour = face.hourTens < 0 ? face.hourOnes : face.hourTens * 10 + face.hourOnes;
        bool same = face.read && face.seconds() == now.wSecond && shownHour == now.wHour &&
                    face.minuteTens * 10 + face.minuteOnes == now.wMinute;
        CHECK(same, Format("at %02d:%02d:%02d.%03d the face shows %d%d:%d%d:%d%d", now.wHour, now.wMinute, now.wSecond,
                           now.wMilliseconds, face.hourTens, face.hourOnes, face.minuteTens, face.minuteOnes,
                           face.secondTens, face.secondOnes));
        matched += same;
        if (i == 0)
            SaveScreenshot("face.bmp");
        PumpMessages(700);
    }
    CHECK(matched >= 5, Format("%d readings matched the system time", matched));
    ExitClock(clock);
    process.waitExit();
}

const Phase SkinPhases[] = {
    {"skin_cmdline", SkinOnTheCommandLine},
    {"skin_cmdline_quoted", QuotedRelativeCommandLine},
    {"missing_skin", MissingSkin},
    {"face_time", FaceShowsTheSystemTime},
    {NULL, NULL},
};
