// The sample skins on the clock: each loads from the command line, perches
// with its own overlap and rise, takes its picture's outline (holes and
// islands included) and shows its picture and the time on screen.
#include <string.h>

#include "e2ekit.h"
#include "phases.h"
#include "../../../skin/facelayout.h"

namespace {

struct SamplePicture {
    int width = 0, height = 0;
    std::vector<unsigned> pixels; // 0x00RRGGBB, top row first
    int faceLeft = 0, faceTop = 0, overlap = 0, rise = 0;
};

int Number(const std::vector<unsigned char> &file, size_t at)
{
    int value;
    memcpy(&value, &file[at], sizeof value);
    return value;
}

// The skin file's numbers, and its picture as the system decodes it.
bool ReadSample(const std::string &path, SamplePicture *sample)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<unsigned char> bytes(GetFileSize(file, NULL));
    DWORD read = 0;
    ReadFile(file, bytes.data(), (DWORD)bytes.size(), &read, NULL);
    CloseHandle(file);
    if (read != bytes.size() || bytes.size() < 1131)
        return false;
    sample->faceLeft = Number(bytes, 1033);
    sample->faceTop = Number(bytes, 1037);
    sample->overlap = Number(bytes, 1041);
    sample->rise = Number(bytes, 1045);
    const BITMAPINFO *info = (const BITMAPINFO *)&bytes[1091];
    const unsigned char *bits = &bytes[1077 + Number(bytes, 1087)];
    sample->width = info->bmiHeader.biWidth;
    sample->height = abs(info->bmiHeader.biHeight);
    sample->pixels.resize((size_t)sample->width * sample->height);
    HDC screen = GetDC(NULL);
    BITMAPINFO top = TopDown32(sample->width, sample->height);
    HBITMAP picture = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
    int rows = GetDIBits(screen, picture, 0, sample->height, sample->pixels.data(), &top, DIB_RGB_COLORS);
    DeleteObject(picture);
    ReleaseDC(NULL, screen);
    for (unsigned &pixel : sample->pixels)
        pixel &= 0xFFFFFF;
    return rows == sample->height;
}

void ShowSample(const std::string &path, const std::string &screenshot)
{
    SamplePicture sample;
    CHECK(ReadSample(path, &sample), "the sample " + path + " is there");
    PerchedClock run;
    StartOnPerch(run, path);
    HWND clock = run.clock;
    CHECK(clock != NULL, "the clock shows itself");
    CHECK(ClockSettlesAt(clock, PerchPoint(run.perch, 500, sample.overlap, sample.rise)),
          Format("it perches with the skin's overlap %d and rise %d", sample.overlap, sample.rise));
    RECT rect = Rect(clock);
    CHECK(rect.right - rect.left == sample.width && rect.bottom - rect.top == sample.height,
          Format("it takes the picture's size, %d x %d", sample.width, sample.height));

    // The outline: every pixel not of the key colour, and no other.
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(clock, outline) != ERROR, "it has an outline");
    int wrong = 0, opaque = 0;
    for (int y = 0; y < sample.height; y++)
        for (int x = 0; x < sample.width; x++) {
            bool kept = sample.pixels[(size_t)y * sample.width + x] != sample.pixels[0];
            opaque += kept;
            wrong += kept != (PtInRegion(outline, x, y) != 0);
        }
    DeleteObject(outline);
    CHECK(wrong == 0 && opaque > 0, Format("the outline is the picture's (%d pixels off)", wrong));

    // On screen, once painted: the picture outside the face, and the time on it.
    int differ = 0;
    PumpUntil([&] {
        std::vector<unsigned> screen = CaptureScreen(Rect(clock));
        differ = 0;
        for (int y = 0; y < sample.height; y++)
            for (int x = 0; x < sample.width; x++) {
                int faceX = x - sample.faceLeft - FACE_AREA_X, faceY = y - sample.faceTop - FACE_AREA_Y;
                bool inFace = faceX >= 0 && faceX < FACE_AREA_WIDTH && faceY >= 0 && faceY < FACE_AREA_HEIGHT;
                size_t at = (size_t)y * sample.width + x;
                if (!inFace && sample.pixels[at] != sample.pixels[0])
                    differ += screen[at] != sample.pixels[at];
            }
        return differ == 0;
    }, ComesWithin);
    CHECK(differ == 0, Format("the screen shows the picture around the face (%d pixels differ)", differ));
    FaceReading face = ReadFace(clock, sample.faceLeft, sample.faceTop);
    CHECK(face.read, Format("the face shows the time at %d,%d", sample.faceLeft, sample.faceTop));
    SaveScreenshot(screenshot);
    ExitAndExpectCleanEnd(run.process, clock);
}

void ShowSample(const char *name)
{
    ShowSample(App.file((std::string("skins\\") + name + ".qve").c_str()), std::string("sample-") + name + ".bmp");
}

void Night()
{
    ShowSample("night");
}

void Cloud()
{
    ShowSample("cloud");
}

void Banner()
{
    ShowSample("banner");
}

// The clock started from the unpacked release archive (the x86 edition at
// its root, the x64 one in its folder), with a sample skin from the
// archive's skins folder.
void FromTheArchive()
{
    char skin[MAX_PATH];
    bool atRoot = GetFileAttributesA(App.file("skins\\banner.qve").c_str()) != INVALID_FILE_ATTRIBUTES;
    GetFullPathNameA(App.file(atRoot ? "skins\\banner.qve" : "..\\skins\\banner.qve").c_str(), MAX_PATH, skin, NULL);
    ShowSample(skin, "archive.bmp");
    char longPath[MAX_PATH];
    GetLongPathNameA(skin, longPath, MAX_PATH);
    CHECK(ReadSetting("DATAFILE", "FILENAME") == longPath,
          "its settings are kept in TkpchOV.ini beside it, naming the skin: " + ReadSetting("DATAFILE", "FILENAME"));
}

} // namespace

const Phase SamplePhases[] = {
    {"archive_start", FromTheArchive},
    {"sample_night", Night},
    {"sample_cloud", Cloud},
    {"sample_banner", Banner},
    {NULL, NULL},
};
