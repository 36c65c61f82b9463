#include "lifecycle.h"

#include <commctrl.h>
#include <shellapi.h>
#include <string.h>
#include <tchar.h>

#include "../base/appstate.h"
#include "../base/helpers.h"
#include "../base/pathtext.h"
#include "../clockwin/clockwin.h"
#include "../clockwin/perchwatch.h"
#include "../clockwin/tray.h"
#include "../dialogs/caption.h"
#include "../hooklib/hooklib.h"
#include "../skin/face.h"
#include "../skin/skinload.h"
#include "settings.h"

#define INSTANCE_MUTEX_NAME TEXT("Tickperch Orvel by Mortesk")

// The data file chosen at start-up; at exit it, not CurrentDataFile, tells
// the next run how this one started.
static TCHAR StartupDataFile[DATA_FILE_NAME_SIZE];
static int RunFinished;
// The Windows session is ending: no box may hold it up.
static int SessionEnding;

// Creates the mutex that marks the running instance and keeps it in
// InstanceMutex; 0 when another instance holds it already.
static int TakeInstanceMutex(void)
{
    HANDLE existing = OpenMutex(MUTEX_ALL_ACCESS, FALSE, INSTANCE_MUTEX_NAME);
    if (existing) {
        CloseHandle(existing);
        return 0;
    }
    AppState.InstanceMutex = CreateMutex(NULL, FALSE, INSTANCE_MUTEX_NAME);
    // Two quick starts can both miss the mutex above; only one creates it.
    if (AppState.InstanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(AppState.InstanceMutex);
        AppState.InstanceMutex = NULL;
        return 0;
    }
    return 1;
}

// The hand cursor for links comes from the help viewer in the Windows folder.
static HCURSOR LoadLinkCursor(void)
{
    enum { HELP_VIEWER_HAND_CURSOR = 106 };
    TCHAR path[MAX_PATH];
    HCURSOR copy = NULL;
    HMODULE helpModule = HelpViewerPath(path) ? LoadLibrary(path) : NULL;
    if (helpModule) {
        HCURSOR shared = LoadCursor(helpModule, MAKEINTRESOURCE(HELP_VIEWER_HAND_CURSOR));
        if (shared)
            copy = (HCURSOR)CopyIcon((HICON)shared);
        FreeLibrary(helpModule);
    }
    return copy ? copy : LoadCursor(NULL, IDC_ARROW);
}

static int RegisterWindowClass(const TCHAR *name, WNDPROC procedure, HICON icon)
{
    WNDCLASSEX windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = AppState.AppInstance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = name;
    return RegisterClassEx(&windowClass) != 0;
}

static void FinishRunAtSessionEnd(void)
{
    SessionEnding = 1;
    FinishRun();
}

int CreateClockWindows(void)
{
    SessionEndStep = FinishRunAtSessionEnd;
    if (!RegisterWindowClass(TEXT("BACK"), DefWindowProc, LoadIcon(AppState.AppInstance, TEXT("TKPCOV"))) ||
        !RegisterWindowClass(TEXT("MAIN"), ClockWndProc, NULL))
        return 0;
    AppState.OwnerWindow = CreateWindowEx(WS_EX_CLIENTEDGE, TEXT("BACK"), TEXT("GrobalHook Sample Back"),
                                           WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 300, 100,
                                           NULL, NULL, AppState.AppInstance, NULL);
    if (!AppState.OwnerWindow)
        return 0;
    // The owner keeps the clock popup off the taskbar; neither is shown yet.
    AppState.ClockWindow = CreateWindowEx(WS_EX_CONTROLPARENT | WS_EX_TOPMOST, TEXT("MAIN"), TEXT("Tickperch OV"),
                                           WS_POPUP | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 300, 300,
                                           AppState.OwnerWindow, NULL, AppState.AppInstance, NULL);
    return AppState.ClockWindow != NULL;
}

// First skin: the file from the settings or the command line, else the
// built-in one, with a word to the user depending on how the last run went.
static void LoadFirstSkin(void)
{
    if (LoadSkinFile(AppState.ClockWindow, StartupDataFile))
        return;
    int lastRun = ReadLastRunKind(AppState.SettingsFile);
    if (lastRun == LAST_RUN_DATA_FILE) {
        ShowProblem(NULL, TEXT("データが取得できません。以下の問題が考えられます。\n\n"
                          "・ファイルが他のアプリケーションによって開かれている\n"
                          "・デフォルトデータがない\n"
                          "・初期化ファイルのデータが異常\n\n"
                          "デフォルトデータを使用します。"));
        _tcscpy(StartupDataFile, DEFAULT_DATA_NAME);
    } else if (lastRun == FIRST_RUN) {
        ShowNotice(NULL,
                   TEXT("ようこそ、Tickperch の世界へ！\n\n")
                   TEXT("（このメッセージは初回起動の一度だけ表示されます）"),
                   TEXT("起動"));
    }
    UseBuiltInSkin(AppState.ClockWindow);
}

static void CALLBACK ClockTimerProc(HWND clock, UINT, UINT_PTR, DWORD)
{
    // Once a second only the face changes; the rest of the window keeps its pixels.
    RECT face;
    if (FaceArea(&face))
        InvalidateRect(clock, &face, FALSE);
    if (!RunFinished) // with the hook, the ticks stop following windows at the end
        CheckPerchOnTick(clock);
    ArmSecondTimer(clock);
}

void ArmSecondTimer(HWND clock)
{
    // A fixed 1000 ms period drifts against the system clock and skips
    // seconds; aiming just past the next boundary keeps the face exact.
    const UINT marginMs = 15;
    SYSTEMTIME now;
    GetLocalTime(&now);
    SetTimer(clock, CLOCK_TIMER_ID, 1000 - now.wMilliseconds + marginMs, ClockTimerProc);
}

void FinishRun(void)
{
    if (RunFinished)
        return;
    RunFinished = 1;
    FreeHook();
    StopWindowEvents();
    if (!WriteSettings(AppState.SettingsFile, AppState.CurrentDataFile, &AppState.ClockOptions, StartupDataFile) &&
        !SessionEnding) {
        // Nothing else is lost; the user must know these settings were.
        TCHAR text[MAX_PATH + 64];
        wsprintf(text, TEXT("設定を保存できませんでした。次のファイルに書き込めません。\n\n%s"), AppState.SettingsFile);
        ShowProblem(NULL, text);
    }
    ReleaseMutex(AppState.InstanceMutex);
    if (AppState.ClockOptions.tray)
        ChangeClockTrayIcon(AppState.ClockWindow, TRAY_DELETE);
}

int RunClock(HINSTANCE instance, const TCHAR *commandLine)
{
    if (!TakeInstanceMutex()) {
        ShowNotice(NULL, TEXT("このアプリケーションを２つ同時に起ちあげることはできません。"), TEXT("Tickperch Orvel - 問題"));
        return 0;
    }
    AppState.LinkCursor = LoadLinkCursor();
    AppState.AppInstance = instance;

    // The tooltip control is made while the clock window is created, so its
    // class must be registered before that.
    InitCommonControls();
    if (!CreateClockWindows()) {
        ShowProblem(NULL, TEXT("時計のウィンドウを作成できませんでした。アプリケーションを終了します。"));
        return 1;
    }
    InitCaptionPainter();
    DragAcceptFiles(AppState.ClockWindow, TRUE);

    ChooseSettingsFile(AppState.AppInstance, AppState.SettingsFile);
    ReadSettings(AppState.SettingsFile, StartupDataFile, &AppState.ClockOptions);
    // The shell quotes a file opened with us when its path has a blank.
    TCHAR commandPath[MAX_PATH];
    if (commandLine && TakeCommandLinePath(commandLine, commandPath, MAX_PATH, SystemLeadByteRule()))
        ExpandLongPath(commandPath, StartupDataFile, DATA_FILE_NAME_SIZE);

    LoadFirstSkin();
    _tcscpy(AppState.CurrentDataFile, StartupDataFile);
    // The window's creation posted the first dock update, and it docks the
    // clock when the loop starts. A start-up message box's own loop handles
    // that one early instead, before a skin is in force, and docking refuses
    // it; this second update then does the docking. Without a box it finds
    // the clock in its place already.
    PostMessage(AppState.ClockWindow, WM_DOCK_UPDATE, 0, 0);

    ShowWindow(AppState.OwnerWindow, SW_HIDE);
    SetWindowPos(AppState.ClockWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ArmSecondTimer(AppState.ClockWindow);
    SetHook(AppState.ClockWindow);
    StartWindowEvents();
    if (AppState.ClockOptions.tray)
        ChangeClockTrayIcon(AppState.ClockWindow, TRAY_ADD);

    MSG message = {};
    while (GetMessage(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessage(&message);
    }
    FinishRun();
    ReleaseFaceResources();
    return (int)message.wParam;
}
