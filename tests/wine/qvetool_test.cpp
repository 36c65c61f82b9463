// qvetool.exe under Wine against the program itself: its preview against
// the real face painter and outline, its check against the real loader, and
// its texts through the Windows command line and console.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/pngdecode.h"
#include "base/appstate.h"
#include "skin/face.h"
#include "skin/region.h"
#include "skin/skin.h"
#include "skin/skinload.h"
#include "skinbuilder.h"
#include "testkit.h"

using namespace skintest;

namespace {

std::string BesideThisProgram(const std::string &name)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string folder(self);
    return folder.substr(0, folder.rfind('\\') + 1) + name;
}

std::wstring Wide(const std::string &text, UINT codePage = CP_UTF8)
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), &wide[0], (int)wide.size());
    wide.resize(length > 0 ? (size_t)length : 0);
    return wide;
}

struct ToolRun {
    DWORD code = 99;
    std::string out; // bytes as the tool wrote them
};

// Runs qvetool.exe with a wide command line tail, as a console would.
ToolRun Qvetool(const std::wstring &arguments)
{
    ToolRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring line = L"\"" + Wide(BesideThisProgram("qvetool.exe")) + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD got;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, NULL) && got)
            run.out.append(buffer, got);
        WaitForSingleObject(process.hProcess, 30000);
        GetExitCodeProcess(process.hProcess, &run.code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return run;
}

std::wstring Quoted(const std::string &path)
{
    return L"\"" + Wide(path) + L"\"";
}

std::vector<unsigned char> ReadBytes(const std::string &path)
{
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, NULL));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), (DWORD)bytes.size(), &read, NULL);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

std::vector<std::string> FilesIn(const std::string &folder, const char *pattern)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do
        files.push_back(folder + "\\" + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

std::string SourceFolder(const char *below)
{
    std::string path = std::string("Z:") + TKP_SOURCE_DIR + "/" + below;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Skins of every kind the preview decodes, each with its face somewhere else.
std::vector<std::pair<std::string, Bytes>> PreviewSkins()
{
    std::vector<std::pair<std::string, Bytes>> skins;
    auto add = [&](const char *name, uint16_t bits, uint32_t compression, int32_t height, int faceLeft, int faceTop) {
        SkinRecipe recipe;
        recipe.width = 97;
        recipe.height = height;
        recipe.bitCount = bits;
        recipe.compression = compression;
        recipe.faceLeft = faceLeft;
        recipe.faceTop = faceTop;
        if (bits <= 8) {
            recipe.palette = {0x808000, 0xFFFFFF, 0x2040C0, 0xF0E0D0, 0x000000, 0xFF0000, 0x0000FF, 0x10F010};
            recipe.colorCount = bits == 1 ? 2 : 7; // a short table: index 7 is past it
        }
        const uint32_t maxIndex = bits == 1 ? 1 : 7;
        recipe.pixel = [=](int x, int y) -> uint32_t {
            bool key = x + y < 4 || (x % 23 == 5 && y % 7 == 3);
            if (bits <= 8)
                return key ? 0 : 1 + (uint32_t)(x / 3 + y) % maxIndex;
            return key ? 0x808000u : 0xFFFFFFu - (uint32_t)(x * 0x030105 + y * 0x071300) % 0x7FFFFF;
        };
        skins.push_back({name, BuildSkin(recipe)});
    };
    add("1 bit", 1, kBiRgb, 30, 3, 4);
    add("4 bits, short table", 4, kBiRgb, -26, 0, 0);
    add("8 bits, short table", 8, kBiRgb, 40, 8, 12);
    add("16 bits 5-5-5", 16, kBiRgb, 28, -6, 2);
    add("16 bits 5-6-5", 16, kBiBitfields, -28, 20, -3);
    add("24 bits", 24, kBiRgb, 32, 5, 11);
    add("32 bits", 32, kBiRgb, 31, 2, 2);
    add("32 bits bitfields", 32, kBiBitfields, 30, 9, 9);
    for (const std::string &path : FilesIn(BesideThisProgram("skins"), "*.qve"))
        skins.push_back({path, ReadBytes(path)});
    return skins;
}

struct Moment {
    const char *time;
    int timeSys;
    const char *form;
};

const Moment Moments[] = {
    {"23:59:58", 24, "24-hour"},
    {"9:05:07", 24, "24-hour, hour tens left out"},
    {"12:30:00", 12, "12-hour AM"},
    {"22:15:40", 12, "12-hour PM"},
    {"13:00:09", 12, "12-hour PM, hour tens left out"},
    {"0:00:00", 12, "12-hour AM, hour tens left out"},
};

SYSTEMTIME TimeOf(const char *text)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 8;
    int h, m, s;
    sscanf(text, "%d:%d:%d", &h, &m, &s);
    time.wHour = (WORD)h;
    time.wMinute = (WORD)m;
    time.wSecond = (WORD)s;
    return time;
}

// The real painter's picture of the skin in force: 0x00RRGGBB, top row first.
std::vector<unsigned> Paint(const SYSTEMTIME &time, int width, int height)
{
    BITMAPINFO info = TopDown32(width, height);
    HDC screen = GetDC(NULL);
    HDC target = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(target, surface);
    PaintFaceAt(target, &time);
    GdiFlush();
    std::vector<unsigned> pixels((unsigned *)bits, (unsigned *)bits + (size_t)width * height);
    for (unsigned &pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(target, previous);
    DeleteObject(surface);
    DeleteDC(target);
    ReleaseDC(NULL, screen);
    return pixels;
}

} // namespace

TEST(QvetoolPreview, MatchesTheFacePainterAndTheOutlineInEveryHourForm)
{
    ClockTestWindows windows;
    TempFolder folder;
    MessageBoxWatcher boxes;
    for (const auto &skin : PreviewSkins()) {
        SCOPED_TRACE(skin.first);
        folder.write("skin.qve", skin.second);
        ASSERT_EQ(1, LoadSkinFile(windows.clock(), ToT(folder.file("skin.qve")).c_str()));
        BITMAP size;
        GetObjectA(AppState.SkinBitmap, sizeof size, &size);
        HRGN outline = BuildKeyColourRegion(windows.clock(), AppState.SkinBitmap, 0, 0);
        for (const Moment &moment : Moments) {
            SCOPED_TRACE(std::string(moment.form) + " at " + moment.time);
            AppState.ClockOptions.timeSys = moment.timeSys;
            std::vector<unsigned> painted = Paint(TimeOf(moment.time), size.bmWidth, size.bmHeight);

            std::wstring arguments = L"preview " + Quoted(folder.file("skin.qve")) + L" -o " +
                                     Quoted(folder.file("face.png")) + L" --force --time " + Wide(moment.time);
            if (moment.timeSys == 12)
                arguments += L" --12h";
            ToolRun run = Qvetool(arguments);
            ASSERT_EQ(0u, run.code) << run.out;
            Png png = DecodePng(ReadBytes(folder.file("face.png")));
            ASSERT_EQ(size.bmWidth, png.width);
            ASSERT_EQ(size.bmHeight, png.height);
            int wrongColour = 0, wrongOutline = 0;
            for (int y = 0; y < png.height; y++)
                for (int x = 0; x < png.width; x++) {
                    wrongColour += (png.at(x, y) & 0xFFFFFF) != painted[(size_t)y * png.width + x];
                    wrongOutline += (png.at(x, y) >> 24 != 0) != (PtInRegion(outline, x, y) != 0);
                }
            EXPECT_EQ(0, wrongColour) << "pixels whose colour differs from the painter's";
            EXPECT_EQ(0, wrongOutline) << "pixels that the window's outline keeps or cuts otherwise";
        }
        DeleteObject(outline);
    }
    EXPECT_TRUE(boxes.seen().empty());
}

// "check passes" means "the clock loads it": qvetool.exe and the real
// loader agree on every seed of the fuzz corpus and on the sample skins.
TEST(QvetoolCheck, PassesExactlyWhatTheLoaderLoads)
{
    ClockTestWindows windows;
    std::vector<std::string> files = FilesIn(SourceFolder("tests/fuzz/corpus/skinformat"), "*.qve");
    ASSERT_GE(files.size(), 10u);
    for (const std::string &sample : FilesIn(BesideThisProgram("skins"), "*.qve"))
        files.push_back(sample);
    int loaded = 0;
    for (const std::string &file : files) {
        MessageBoxWatcher boxes;
        int accepted = LoadSkinFile(windows.clock(), ToT(file).c_str());
        loaded += accepted;
        ToolRun run = Qvetool(L"check " + Quoted(file));
        EXPECT_EQ(accepted ? 0u : 1u, run.code) << file << "\n" << run.out;
    }
    EXPECT_GE(loaded, 3);
}

// Texts from the wide command line land in the file as Shift-JIS, a text
// Shift-JIS cannot hold is refused, and unpack's options, quoted for this
// command line, pack the same bytes again.
TEST(QvetoolOnWindows, TextsTravelThroughTheCommandLineAndBack)
{
    TempFolder folder;
    SkinRecipe recipe;
    recipe.width = 100;
    recipe.height = 30;
    const Bytes whole = BuildSkin(recipe);
    folder.write("in.bmp", Bytes(whole.begin() + 1077, whole.end()));
    // The author is 時刻 "太郎" C:\dir\ \\ quoted for the command line: quotes
    // as \" and the two closing backslashes doubled before the quote.
    const std::wstring name = L"\uFF83\uFF9E\uFF70\uFF80"; // ﾃﾞｰﾀ
    ToolRun run = Qvetool(L"pack " + Quoted(folder.file("in.bmp")) + L" -o " + Quoted(folder.file("first.qve")) +
                          L" --author \"\u6642\u523B \\\"\u592A\u90CE\\\" C:\\dir\\ \\\\\\\\\" --name " + name +
                          L" --face 7,8");
    ASSERT_EQ(0u, run.code) << run.out;
    Bytes skin = ReadBytes(folder.file("first.qve"));
    ASSERT_GT(skin.size(), 1077u);
    EXPECT_STREQ("\x8E\x9E\x8D\x8F \"\x91\xBE\x98\x59\" C:\\dir\\ \\\\", (const char *)&skin[kAuthor]);
    EXPECT_STREQ("\xC3\xDE\xB0\xC0", (const char *)&skin[kDataName]);

    // Out of Shift-JIS: refused, nothing written.
    run = Qvetool(L"pack " + Quoted(folder.file("in.bmp")) + L" -o " + Quoted(folder.file("no.qve")) +
                  L" --name Caf\u00E9");
    EXPECT_EQ(1u, run.code);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.file("no.qve").c_str()));

    run = Qvetool(L"unpack " + Quoted(folder.file("first.qve")) + L" -o " + Quoted(folder.file("again.bmp")));
    ASSERT_EQ(0u, run.code) << run.out;
    // Redirected output is in the console's code page: Shift-JIS here.
    std::wstring options = Wide(run.out, GetOEMCP());
    while (!options.empty() && (options.back() == L'\n' || options.back() == L'\r'))
        options.pop_back();
    EXPECT_NE(std::wstring::npos, options.find(L"--name " + name)) << run.out;
    run = Qvetool(L"pack " + Quoted(folder.file("again.bmp")) + L" -o " + Quoted(folder.file("second.qve")) + L" " +
                  options);
    ASSERT_EQ(0u, run.code) << run.out;
    EXPECT_TRUE(ReadBytes(folder.file("second.qve")) == skin);
}
