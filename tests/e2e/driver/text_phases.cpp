// Text on every code page: a folder named ソフト (whose Shift-JIS second
// byte is a backslash), one no code page of a Japanese system holds (한글),
// an old settings file in Shift-JIS, and the program's Japanese read back as
// text rather than bytes. The x86 edition is the ANSI program of Japanese
// systems: it plays the ソフト round trip there; the x64 edition plays
// everything on the Japanese code page and on a Western one.
#include "../../../res/resource.h"
#include "e2ekit.h"
#include "phases.h"
#include "skinbuilder.h"

using namespace skintest;

enum { SKIN_WIDTH = 120 };

static std::wstring InApp(const wchar_t *name)
{
    return Widen(App.folder) + L"\\" + name;
}

// The same small skin (SKIN_WIDTH wide, a Japanese author) in a folder of its own.
static std::wstring WriteSkinIn(const wchar_t *folder)
{
    SkinRecipe recipe;
    recipe.width = SKIN_WIDTH;
    recipe.height = 40;
    recipe.faceLeft = 16;
    recipe.faceTop = 10;
    recipe.author = "作者：ソフト表示"; // Shift-JIS bytes, as skin files hold them
    recipe.palette = {0x808000, 0xFFFFFF};
    recipe.pixel = [](int x, int y) -> uint32_t { return x < 2 || y < 2 ? 0 : 1; };
    CreateDirectoryW(InApp(folder).c_str(), NULL);
    std::wstring path = InApp(folder) + L"\\s.qve";
    CHECK(WriteBytes(path, BuildSkin(recipe)), "a skin is written in " + Narrow(folder));
    return path;
}

static std::wstring DataFileSetting()
{
    wchar_t value[512];
    GetPrivateProfileStringW(L"DATAFILE", L"FILENAME", L"<missing>", value, 512, Widen(App.settings()).c_str());
    return value;
}

static bool SettingsAreUnicode()
{
    std::vector<unsigned char> start(2);
    HANDLE file = CreateFileA(App.settings().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD read = 0;
    ReadFile(file, start.data(), 2, &read, NULL);
    CloseHandle(file);
    return read == 2 && start[0] == 0xFF && start[1] == 0xFE;
}

// One start of the clock (with arguments, or on the settings alone) that
// must put the skin at path in force and keep it for the next start.
static void StartWithSkin(const std::wstring &path, const std::wstring &arguments, const std::string &what)
{
    PerchedClock run;
    StartOnPerch(run, arguments);
    RECT rect = run.clock ? Rect(run.clock) : RECT{};
    CHECK(rect.right - rect.left == SKIN_WIDTH, Format("%s: the skin is in force (%ld wide)", what.c_str(),
                                                       rect.right - rect.left));
    if (run.clock)
        ExitAndExpectCleanEnd(run.process, run.clock);
    else
        run.process.kill();
    CHECK(DataFileSetting() == path, what + ": the settings keep its path: " + Narrow(DataFileSetting().c_str()));
}

static void RoundTrip(const wchar_t *folder)
{
    std::wstring path = WriteSkinIn(folder);
    StartWithSkin(path, L"\"" + path + L"\"", "given " + Narrow(folder));
    StartWithSkin(path, L"", "the next start");
}

// The program's Japanese as the system shows it, whatever the code page.
static void ReadBackInUnicode()
{
    PerchedClock run;
    StartOnPerch(run);
    CHECK(run.clock != NULL, "the clock runs");
    PostMessageW(run.clock, WM_COMMAND, IDM_PROPERTY, 0);
    HWND dialog = NULL;
    // Shown once its texts are set.
    PumpUntil([&] { return (dialog = FindWindowW(L"#32770", L"ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ")) != NULL && IsWindowVisible(dialog); },
              ComesWithin);
    CHECK(dialog != NULL, "the data properties open under their Japanese caption");
    if (dialog) {
        wchar_t author[128] = L"";
        GetDlgItemTextW(dialog, IDC_AUTHOR, author, 128);
        CHECK(std::wstring(author) == L"作者：ソフト表示", "the skin's author reads " + Narrow(author));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
    ClockProcess second;
    second.start();
    HWND box = NULL;
    PumpUntil([&] { return (box = FindWindowW(L"#32770", L"Tickperch Orvel - 問題")) != NULL; }, ComesWithin);
    CHECK(box != NULL, "a second start is refused under the Japanese caption");
    if (box) {
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        CHECK(std::wstring(text) == L"このアプリケーションを２つ同時に起ちあげることはできません。",
              "in Japanese: " + Narrow(text));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    second.waitExit();
    PumpUntil([&] { return IsWindowVisible(run.clock) != FALSE; }, ComesWithin);
    ExitAndExpectCleanEnd(run.process, run.clock);
}

static void TextOnEveryCodePage()
{
    bool japanese = GetACP() == 932, unicodeClock = sizeof(void *) == 8;
    DeleteFileA(App.settings().c_str());
    if (japanese) {
        // A settings file as the x86 edition and older versions write it.
        std::wstring path = WriteSkinIn(L"ソフト");
        std::string old = "[MEMO]\r\nNOTE=ソフト\r\n[DATAFILE]\r\nFILENAME=" + App.folder +
                          "\\ソフト\\s.qve\r\n[TICKPERCH]\r\nINITIALIZE=2\r\n";
        CHECK(WriteBytes(App.settings(), std::vector<unsigned char>(old.begin(), old.end())), "an old file is written");
        StartWithSkin(path, L"", "an old Shift-JIS settings file");
        CHECK(!SettingsAreUnicode(), "a file whose values fit the code page keeps it");
    }
    if (!japanese && !unicodeClock)
        return;
    RoundTrip(L"ソフト");
    if (!unicodeClock)
        return;
    CHECK(SettingsAreUnicode() != japanese, "ソフト needs UTF-16 only where the code page lacks it");
    RoundTrip(L"한글");
    wchar_t note[16] = L"";
    GetPrivateProfileStringW(L"MEMO", L"NOTE", L"", note, 16, Widen(App.settings()).c_str());
    CHECK(SettingsAreUnicode() && (!japanese || std::wstring(note) == L"ソフト"),
          "a Korean path turns the settings into UTF-16 first, every value kept");
    ReadBackInUnicode();
}

const Phase TextPhases[] = {
    {"text_everywhere", TextOnEveryCodePage},
    {NULL, NULL},
};
