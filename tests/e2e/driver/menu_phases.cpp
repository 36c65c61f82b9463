// The popup menu, its commands and the tray icon, as a user meets them.
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "e2ekit.h"
#include "phases.h"
#include "skinbuilder.h"

using namespace skintest;

static bool IsInk(unsigned pixel)
{
    unsigned r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r + g + b < 3 * 96;
}

// Ink pixels of a menu text drawn here in the system's menu font.
static int InkOfText(const char *text, bool bold)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (bold)
        metrics.lfMenuFont.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    RECT area = {0, 0, 200, 40};
    std::vector<unsigned> pixels(200 * 40);
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = TopDown32(200, 40);
    void *bits = NULL;
    HBITMAP surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previousBitmap = SelectObject(memory, surface);
    HGDIOBJ previousFont = SelectObject(memory, font);
    PatBlt(memory, 0, 0, 200, 40, WHITENESS);
    SetBkMode(memory, TRANSPARENT);
    DrawTextA(memory, text, -1, &area, DT_LEFT | DT_TOP | DT_SINGLELINE);
    GdiFlush();
    int ink = 0;
    for (int i = 0; i < 200 * 40; i++)
        ink += IsInk(((unsigned *)bits)[i] & 0xFFFFFF);
    SelectObject(memory, previousFont);
    SelectObject(memory, previousBitmap);
    DeleteObject(surface);
    DeleteObject(font);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return ink;
}

// Ink pixels of the menu's last line of text.
static int InkOfLastMenuLine(HWND menu)
{
    RECT rect = Rect(menu);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<unsigned> pixels = CaptureScreen(rect);
    auto rowInk = [&](int y) {
        int ink = 0;
        for (int x = 4; x < width - 4; x++)
            ink += IsInk(pixels[(size_t)y * width + x]);
        return ink;
    };
    int bottom = height - 4;
    while (bottom > 0 && rowInk(bottom) == 0)
        bottom--;
    int top = bottom;
    while (top > 0 && rowInk(top - 1) > 0)
        top--;
    int ink = 0;
    for (int y = top; y <= bottom; y++)
        ink += rowInk(y);
    return ink;
}

static void MenuOnTheClock()
{
    PerchedClock run;
    StartOnPerch(run);
    HWND perch = run.perch, clock = run.clock;
    ClockProcess &process = run.process;
    POINT docked = PerchPoint(perch, 500);
    CHECK(ClockSettlesAt(clock, docked), "the clock perches");

    POINT click = {docked.x + 40, docked.y + 20};
    HWND menu = OpenMenuWithRightClick(click, clock);
    CHECK(menu != NULL, "a right click on the clock opens the menu");
    RECT rect = Rect(menu);
    CHECK(rect.left == click.x && rect.top == click.y,
          Format("its top-left corner at the click point (%ld,%ld for %ld,%ld)", rect.left, rect.top, click.x, click.y));
    SaveScreenshot("menu.bmp");
    if (menu) {
        int shown = InkOfLastMenuLine(menu);
        int plain = InkOfText("終了(&E)", false), bold = InkOfText("終了(&E)", true);
        CHECK(plain != bold && abs(shown - bold) < abs(shown - plain),
              Format("Exit is drawn bold, as the default item (ink %d; plain %d, bold %d)", shown, plain, bold));
    }
    PressKey('E'); // 終了(&E)
    DWORD code = process.waitExit();
    CHECK(code == 0, Format("Exit ends the program with 0 (got %lu)", code));
    CHECK(ReadSetting("WINDOW", "POSITION") == "500", "and the settings are written");
}

static void TrayIcon()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    HWND perch = MakePerch(100, 200, 700, 400);
    Activate(perch);
    CHECK(FindWindowA("Shell_TrayWnd", NULL) != NULL, "the desktop has a taskbar");
    CHECK(!TrayIconShown(), "no icon before the clock starts");
    ClockProcess process;
    process.start();
    HWND clock = WaitForShownClock();
    CHECK(clock != NULL, "the clock runs");
    CHECK(PumpUntil(TrayIconShown), "its icon is added at start");
    SaveScreenshot("tray.bmp");
    RECT iconRect = FirstTrayIconRect();

    POINT icon = Middle(iconRect);
    Click(icon, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Click(icon, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    PumpMessages(400);
    CHECK(FindPopupMenu(300) == NULL, "a left click or a double click on the icon opens nothing");

    HWND menu = OpenMenuWithRightClick(icon, clock);
    CHECK(menu != NULL, "a right click on the icon opens the menu");
    if (menu) {
        RECT rect = Rect(menu);
        CHECK(rect.right == icon.x && rect.bottom == icon.y,
              Format("with its bottom-right corner at the cursor (%ld,%ld for %ld,%ld)", rect.right, rect.bottom,
                     icon.x, icon.y));
        Click(POINT{rect.right - 30, rect.bottom - 8}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); // the last item
    }
    DWORD code = process.waitExit();
    CHECK(code == 0, Format("its Exit ends the program with 0 (got %lu)", code));
    CHECK(PumpUntil([] { return !TrayIconShown(); }), "and the icon is removed at exit");
}

static void WriteNightSkin(const std::string &path)
{
    // A plain 120 x 40 picture in a 24-bit file, the key colour in its corners.
    int width = 120, height = 40, stride = ((width * 3 + 3) / 4) * 4;
    std::vector<unsigned char> image(1077 + 14 + 40 + (size_t)stride * height, 0);
    memcpy(&image[0], "QVE", 3);
    int numbers[] = {16, 10, 30, 20}; // face origin, overlap, rise
    memcpy(&image[1033], numbers, sizeof numbers);
    image[1077] = 'B';
    image[1078] = 'M';
    unsigned offBits = 14 + 40;
    memcpy(&image[1087], &offBits, 4);
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    memcpy(&image[1091], &header, sizeof header);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            unsigned char *pixel = &image[1131 + (size_t)y * stride + (size_t)x * 3];
            bool corner = (x == 0 || x == width - 1) && (y == 0 || y == height - 1);
            pixel[0] = corner ? 0x00 : 0xF0; // blue, green, red
            pixel[1] = corner ? 0x80 : 0xE0;
            pixel[2] = corner ? 0x80 : 0xE0;
        }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, image.data(), (DWORD)image.size(), &written, NULL);
    CloseHandle(file);
    CHECK(written == image.size(), "the night skin is written");
}

static HWND OpenChangeDataDialog(HWND clock, POINT at)
{
    CHECK(OpenMenuWithRightClick(at, clock) != NULL, "the menu opens");
    HWND dialog = NULL;
    // ﾃﾞｰﾀ変更(&C); the first opening of the dialog loads a lot.
    PressKeyUntil('C', [&] { return (dialog = FindMessageBox("Tickperch OV - データ変更", 0)) != NULL; }, ComesWithin);
    CHECK(dialog != NULL, "Change data opens the file dialog");
    CHECK(!IsWindowVisible(clock), "the clock hides while it is up");
    return dialog;
}

static void ChangeData()
{
    std::string night = App.file("Night.qve");
    WriteNightSkin(night);
    PerchedClock run;
    StartOnPerch(run);
    HWND perch = run.perch, clock = run.clock;
    ClockProcess &process = run.process;
    POINT docked = PerchPoint(perch, 500);
    CHECK(ClockSettlesAt(clock, docked), "the clock perches");

    // Cancelled: nothing changes, the clock comes back on its perch.
    HWND dialog = OpenChangeDataDialog(clock, POINT{docked.x + 40, docked.y + 20});
    if (dialog) {
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        RECT rect = {};
        bool centred = PumpUntil([&] {
            rect = Rect(dialog);
            return IsWindowVisible(dialog) && abs((rect.left + rect.right) / 2 - width / 2) <= 1 &&
                   abs((rect.top + rect.bottom) / 2 - height / 2) <= 1;
        });
        CHECK(centred, Format("the dialog stands in the middle of the screen (%ld,%ld,%ld,%ld)", rect.left, rect.top,
                              rect.right, rect.bottom));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    CHECK(ClockSettlesAt(clock, docked), "after Cancel the clock is back where it was");
    CHECK(PumpUntil([&] { return GetForegroundWindow() == perch; }), "and the perch has the foreground");

    // A name typed without its extension finds the skin.
    dialog = OpenChangeDataDialog(clock, POINT{docked.x + 40, docked.y + 20});
    if (dialog) {
        std::string typed = night.substr(0, night.size() - 4);
        SetDlgItemTextA(dialog, 1152, typed.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    POINT onNight = PerchPoint(perch, 500, 30, 20);
    CHECK(ClockSettlesAt(clock, onNight), "the new skin docks with its own overlap and rise");
    RECT rect = Rect(clock);
    CHECK(rect.right - rect.left == 120 && rect.bottom - rect.top == 40, "and has its size");
    CHECK(PumpUntil([&] { return GetForegroundWindow() == perch; }), "the perch gets the foreground back");

    // An outline of 32,768 rectangles is more than the display takes: the
    // skin is refused with the format message and the night skin stays.
    SkinRecipe checkerboard;
    checkerboard.width = 256;
    checkerboard.height = 256;
    checkerboard.pixel = [](int x, int y) -> uint32_t { return (uint32_t)(x + y) % 2; };
    std::string busy = App.file("Checkerboard.qve");
    CHECK(WriteBytes(busy, BuildSkin(checkerboard)), "the checkerboard skin is written");
    dialog = OpenChangeDataDialog(clock, POINT{onNight.x + 40, onNight.y + 20});
    if (dialog) {
        SetDlgItemTextA(dialog, 1152, busy.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    const char *boxes[] = {"不正なファイル形式です。", "ファイルの読み込みに失敗しました。他のアプリケーションが編集中かもしれません。"};
    for (const char *text : boxes) {
        HWND box = NULL;
        PumpUntil([&] { return (box = FindMessageBox("問題", 100)) != NULL && MessageBoxText(box) == text; }, ComesWithin);
        CHECK(box != NULL && MessageBoxText(box) == text, std::string("the clock says: ") + text);
        if (box)
            PressOk(box);
    }
    CHECK(ClockSettlesAt(clock, onNight), "the clock lives on with the night skin");
    rect = Rect(clock);
    CHECK(rect.right - rect.left == 120 && rect.bottom - rect.top == 40, "at its size");

    CHECK(OpenMenuWithRightClick(POINT{onNight.x + 40, onNight.y + 20}, clock) != NULL,
          "the menu opens on the new skin");
    PressKey('E');
    CHECK(process.waitExit() == 0, "Exit ends the program");
    char longPath[MAX_PATH];
    GetLongPathNameA(night.c_str(), longPath, MAX_PATH);
    CHECK(ReadSetting("DATAFILE", "FILENAME") == longPath, "the new skin is remembered: " +
                                                                ReadSetting("DATAFILE", "FILENAME"));
}

void RecordPagesOpened()
{
    std::string command = "\"" + App.file("e2e_recorder.exe") + "\" \"%1\"";
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.html", 0, NULL, 0, KEY_WRITE, NULL, &key, NULL);
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE *)"TkpTestPage", 12);
    RegCloseKey(key);
    SetShellOpenCommand("TkpTestPage", command, false);
    for (const char *scheme : {"http", "https", "mailto"})
        SetShellOpenCommand(scheme, command, true);
}

std::string PageOpened()
{
    char text[MAX_PATH * 2] = "";
    HANDLE file = CreateFileA(App.file("opened.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, NULL);
    CloseHandle(file);
    text[read] = '\0';
    return text;
}

// Stands in for the help viewer: WinHelpA hands the viewer's window the
// request as WM_COPYDATA, a WINHELP record with the file name inside it.
static std::string HelpFileAsked;

static LRESULT CALLBACK FakeViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
        const BYTE *record = (const BYTE *)data->lpData;
        WORD nameOffset = data->cbData >= 16 ? *(const WORD *)(record + 12) : 0;
        if (nameOffset && nameOffset < data->cbData)
            HelpFileAsked.assign((const char *)record + nameOffset,
                                 strnlen((const char *)record + nameOffset, data->cbData - nameOffset));
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND MakeFakeViewer()
{
    WNDCLASSA description = {};
    description.lpfnWndProc = FakeViewerProc;
    description.hInstance = GetModuleHandleA(NULL);
    description.lpszClassName = "MS_WINHELP";
    RegisterClassA(&description);
    return CreateWindowExA(0, "MS_WINHELP", "fake viewer", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

static void HelpPage()
{
    RecordPagesOpened();
    PerchedClock run;
    StartOnPerch(run);
    HWND clock = run.clock;
    ClockProcess &process = run.process;
    CHECK(clock != NULL, "the clock runs");

    char windowsFolder[MAX_PATH];
    GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    std::string viewer = std::string(windowsFolder) + "\\winhlp32.exe";
    std::string systemViewer = std::string(windowsFolder) + "\\system32\\winhlp32.exe";
    DeleteFileA(viewer.c_str());
    auto askForHelp = [&] {
        DeleteFileA(App.file("opened.txt").c_str());
        PostMessageA(clock, WM_COMMAND, 40006, 0); // ﾍﾙﾌﾟ(&H)
    };
    auto pageOpenedBesideTheProgram = [&] {
        if (!PumpUntil([] { return !PageOpened().empty(); }, ComesWithin))
            return false;
        std::string page = PageOpened();
        return page.size() > 13 && lstrcmpiA(page.c_str() + page.size() - 13, "\\Tkpch12.html") == 0 &&
               GetFileAttributesA(page.c_str()) != INVALID_FILE_ATTRIBUTES;
    };

    askForHelp();
    CHECK(pageOpenedBesideTheProgram(), "without a help viewer in the Windows folder, Help opens the page beside the "
                                        "program: " + PageOpened());
    CHECK(IsWindowVisible(clock), "the clock stays where it was");

    // The viewer is there but our help file is not: still the page.
    CHECK(CopyFileA(systemViewer.c_str(), viewer.c_str(), FALSE), "the help viewer is put in the Windows folder");
    askForHelp();
    CHECK(pageOpenedBesideTheProgram(), "with the viewer but no help file, Help opens the page");

    // With our help file beside the program, the viewer is asked for it by
    // its full path: the viewer does not look in the program's folder.
    HANDLE helpFile = CreateFileA(App.file("Tkpch12.hlp").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(helpFile);
    HWND fakeViewer = MakeFakeViewer();
    askForHelp();
    bool asked = PumpUntil([] { return !HelpFileAsked.empty(); }, ComesWithin);
    CHECK(asked && lstrcmpiA(HelpFileAsked.c_str(), App.file("Tkpch12.hlp").c_str()) == 0,
          "Help asks the viewer for the file beside the program: " + HelpFileAsked);
    DestroyWindow(fakeViewer);
    askForHelp();
    CHECK(PumpUntil([] { return FindWindowA("MS_WINHELP", NULL) != NULL; }, ComesWithin), "with both, Help starts the viewer");
    PumpMessages(1000);
    CHECK(PageOpened().empty(), "and opens no page");
    DWORD_PTR answer;
    CHECK(SendMessageTimeoutA(clock, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer) != 0,
          "the clock keeps answering while the viewer is up");
    // The viewer is not ours to leave running.
    DWORD viewerProcess = 0;
    GetWindowThreadProcessId(FindWindowA("MS_WINHELP", NULL), &viewerProcess);
    HANDLE viewerHandle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewerProcess);
    if (viewerHandle) {
        TerminateProcess(viewerHandle, 0);
        WaitForSingleObject(viewerHandle, 5000);
        CloseHandle(viewerHandle);
    }
    DeleteFileA(viewer.c_str());
    ExitClock(clock);
    CHECK(process.waitExit() == 0, "the clock ends cleanly");
}

const Phase MenuPhases[] = {
    {"help_page", HelpPage},
    {"menu_clock", MenuOnTheClock},
    {"tray_icon", TrayIcon},
    {"change_data", ChangeData},
    {NULL, NULL},
};
