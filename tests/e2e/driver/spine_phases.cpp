// Start-up, docking, dragging, the single instance and the settings file.
#include "e2ekit.h"
#include "phases.h"

static const char WelcomeText[] = "ようこそ、Tickperch の世界へ！\n\n（このメッセージは初回起動の一度だけ表示されます）";

static void FirstStart()
{
    ClockProcess process;
    CHECK(process.start(), "the clock starts");
    HWND welcome = FindMessageBox("起動");
    CHECK(welcome != NULL, "the first start greets the user");
    HWND clock = FindClock();
    CHECK(clock && !IsWindowVisible(clock), "no clock is shown while the greeting is up");
    if (welcome) {
        CHECK(MessageBoxText(welcome) == WelcomeText, "the greeting's text, in Shift-JIS: " + MessageBoxText(welcome));
        PressOk(welcome);
    }
    HWND perch = MakePerch(100, 150, 700, 400);
    Activate(perch);
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, 500)), "the clock perches on the active window");
    RECT rect = Rect(clock);
    CHECK(rect.right - rect.left == 101 && rect.bottom - rect.top == 38, "the built-in skin is 101 x 38");
    ExitAndExpectCleanEnd(process, clock);

    CHECK(ReadSetting("DATAFILE", "FILENAME") == "DEFAULTDATA", "FILENAME=" + ReadSetting("DATAFILE", "FILENAME"));
    CHECK(ReadSetting("WINDOW", "POSITION") == "500", "POSITION=" + ReadSetting("WINDOW", "POSITION"));
    CHECK(ReadSetting("OPTION", "TIMESYS") == "24", "TIMESYS=" + ReadSetting("OPTION", "TIMESYS"));
    CHECK(ReadSetting("OPTION", "TOOLTIP") == "1", "TOOLTIP=" + ReadSetting("OPTION", "TOOLTIP"));
    CHECK(ReadSetting("OPTION", "YEAR") == "0", "YEAR=" + ReadSetting("OPTION", "YEAR"));
    CHECK(ReadSetting("OPTION", "SLASH") == "0", "SLASH=" + ReadSetting("OPTION", "SLASH"));
    CHECK(ReadSetting("OPTION", "TRAY") == "1", "TRAY=" + ReadSetting("OPTION", "TRAY"));
    CHECK(ReadSetting("TICKPERCH", "INITIALIZE") == "1", "INITIALIZE=" + ReadSetting("TICKPERCH", "INITIALIZE"));
}

static void SecondStartAfterFirst()
{
    ClockProcess process;
    HWND perch = MakePerch(200, 300, 600, 300);
    Activate(perch);
    CHECK(process.start(), "the clock starts again");
    HWND clock = WaitForShownClock();
    CHECK(clock != NULL, "the second start shows the clock without a word");
    CHECK(FindWindowA("#32770", "起動") == NULL, "no greeting the second time");
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, 500)), "and it perches at once");
    PumpMessages(1500);
    CHECK(GetForegroundWindow() == perch, Format("the perch keeps the foreground (now %p, perch %p, clock %p)",
                                                 (void *)GetForegroundWindow(), (void *)perch, (void *)clock));
    ExitAndExpectCleanEnd(process, clock);
    CHECK(ReadSetting("TICKPERCH", "INITIALIZE") == "1", "INITIALIZE stays 1");
}

// Two framed windows of ours, the first in front, and the clock started.
struct TwoPerches {
    HWND first = NULL, second = NULL, clock = NULL;
    ClockProcess process;
};

static void StartOnFirstOfTwo(TwoPerches &run)
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    run.first = MakePerch(100, 150, 700, 400);
    run.second = MakePerch(300, 450, 500, 300);
    Activate(run.first);
    run.process.start();
    run.clock = WaitForShownClock();
    CHECK(run.clock != NULL, "the clock shows itself");
}

static void Follow()
{
    TwoPerches run;
    StartOnFirstOfTwo(run);
    HWND first = run.first, second = run.second, clock = run.clock;
    ClockProcess &process = run.process;
    CHECK(ClockSettlesAt(clock, PerchPoint(first, 500)), "it perches on the active window");

    Activate(second);
    CHECK(ClockSettlesAt(clock, PerchPoint(second, 500)), "activating another window moves it there");
    MoveWindow(second, 250, 420, 500, 300, TRUE);
    CHECK(ClockSettlesAt(clock, PerchPoint(second, 500)), "it follows the perch when it moves");
    MoveWindow(second, 250, 420, 380, 250, TRUE);
    CHECK(ClockSettlesAt(clock, PerchPoint(second, 500)), "and when it is resized (clamped to the left end)");
    POINT onSecond = PerchPoint(second, 500);
    MoveWindow(first, 50, 100, 700, 400, TRUE);
    ClockTicks(clock);
    CHECK(ClockSettlesAt(clock, onSecond, 500), "moving an inactive window leaves it where it is");

    // Each in front, so that only the rule keeps the clock off it.
    HWND tool = MakePerch(600, 600, 300, 200, WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
    CHECK(Activate(tool), "the tool window comes to the front");
    ClockTicks(clock);
    CHECK(ClockSettlesAt(clock, onSecond, 500), "a tool window is no perch");
    HWND popup = MakePerch(600, 100, 300, 200, WS_POPUP | WS_VISIBLE);
    CHECK(Activate(popup), "the frameless popup comes to the front");
    ClockTicks(clock);
    CHECK(ClockSettlesAt(clock, onSecond, 500), "a frameless popup is no perch");
    ExitAndExpectCleanEnd(process, clock);
}

static void HideAndReturn()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    HWND first = MakePerch(100, 150, 700, 400);
    HWND second = MakePerch(300, 450, 500, 300);
    Activate(second);
    ClockProcess process;
    process.start();
    HWND clock = WaitForShownClock();
    CHECK(ClockSettlesAt(clock, PerchPoint(second, 500)), "the clock perches on the active window");

    // The command alone hides the clock: this perch ignores it and stays on
    // screen and in front, so the clock cannot have followed it out of sight.
    // Its frame goes at once, so that no later update of anything brings the
    // clock back onto it before we look.
    SetPropA(second, IGNORE_MINIMISE_PROPERTY, (HANDLE)1);
    LONG style = GetWindowLongA(second, GWL_STYLE);
    SendMessageA(second, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SetWindowLongA(second, GWL_STYLE, style & ~(WS_CAPTION | WS_THICKFRAME));
    CHECK(PumpUntil([&] { return !IsWindowVisible(clock); }, ComesWithin), "a minimise command hides the clock at once");
    CHECK(GetForegroundWindow() == second && !IsIconic(second), "while its perch stays in front, on screen");
    SetWindowLongA(second, GWL_STYLE, style);
    RemovePropA(second, IGNORE_MINIMISE_PROPERTY);
    Activate(first);
    CHECK(ClockSettlesAt(clock, PerchPoint(first, 500)), "it comes back on the next window activated");

    // Under Wine a minimised window can stay in front, far off screen, and
    // the clock perch on it there.
    SendMessageA(first, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    CHECK(ClockHides(clock), "minimising a window takes the clock out of sight");
    PumpMessages(500);
    CHECK(ClockOutOfSight(clock), "and it stays out of sight");
    Activate(second);
    CHECK(ClockSettlesAt(clock, PerchPoint(second, 500)), "it comes back on the next window activated");

    SendMessageA(second, WM_SYSCOMMAND, SC_CLOSE, 0); // closes and destroys the perch
    CHECK(ClockHides(clock), "closing the perch hides the clock");
    CHECK(!IsWindow(second), "the perch is gone");
    ShowWindow(first, SW_RESTORE);
    Activate(first);
    CHECK(ClockSettlesAt(clock, PerchPoint(first, 500)), "restoring the other window brings the clock there");

    DestroyWindow(first);
    Activate(GetDesktopWindow());
    CHECK(ClockHides(clock), "with only the desktop left the clock hides");
    ExitAndExpectCleanEnd(process, clock);
}

static void Drag()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    HWND perch = MakePerch(100, 200, 800, 400);
    Activate(perch);
    ClockProcess process;
    process.start();
    HWND clock = WaitForShownClock();
    POINT docked = PerchPoint(perch, 500);
    CHECK(ClockSettlesAt(clock, docked), "the clock perches");

    // Press on the clock: the system's move loop takes over the mouse. Drag
    // left and down, release. Under load Wine now and then loses the press
    // (no move loop starts): the press is tried again.
    POINT grab = {docked.x + 60, docked.y + 20};
    POINT dropped = {docked.x - 120, docked.y};
    SetCursorPos(grab.x, grab.y);
    bool moving = TryUntil("a press on the clock", [] { mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0); },
                           [&] { return ThreadInMode(clock, GUI_INMOVESIZE, true, 0); }, 2000);
    CHECK(moving, "a press on the clock starts the move loop");
    for (int step = 1; step <= 12; step++) {
        SetCursorPos(grab.x - 10 * step, grab.y + 4 * step);
        POINT at = {grab.x - 10 * step - 60, docked.y + 4 * step};
        PumpUntil([&] { return Rect(clock).left == at.x && Rect(clock).top == at.y; }, 2000);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    CHECK(ThreadInMode(clock, GUI_INMOVESIZE, false), "the release ends it");
    CHECK(ClockSettlesAt(clock, dropped), Format("the clock keeps the new offset and snaps back to the perch's "
                                                 "height (at %ld,%ld)", Rect(clock).left, Rect(clock).top));
    CHECK(PumpUntil([&] { return GetForegroundWindow() == perch; }), "the perch gets the foreground back");

    // A click without moving records the unchanged offset.
    SetCursorPos(dropped.x + 60, dropped.y + 20);
    TryUntil("a press on the clock", [] { mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0); },
             [&] { return ThreadInMode(clock, GUI_INMOVESIZE, true, 0); });
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    CHECK(ThreadInMode(clock, GUI_INMOVESIZE, false) && ClockSettlesAt(clock, dropped),
          "a click leaves the clock where it is");
    CHECK(PumpUntil([&] { return GetForegroundWindow() == perch; }), "and hands the foreground back");
    ExitAndExpectCleanEnd(process, clock);
    CHECK(ReadSetting("WINDOW", "POSITION") == "620", "the new offset is saved: POSITION=" +
                                                          ReadSetting("WINDOW", "POSITION"));
}

static void SecondInstance()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    HWND perch = MakePerch(100, 150, 700, 400);
    Activate(perch);
    ClockProcess first;
    first.start();
    HWND clock = WaitForShownClock();
    CHECK(clock != NULL, "the first clock runs");

    ClockProcess second;
    second.start();
    HWND refusal = FindMessageBox("Tickperch Orvel - 問題");
    CHECK(refusal != NULL, "the second start says it cannot run twice");
    if (refusal) {
        CHECK(MessageBoxText(refusal) == "このアプリケーションを２つ同時に起ちあげることはできません。",
              "the refusal's text: " + MessageBoxText(refusal));
        PressOk(refusal);
    }
    DWORD code = second.waitExit();
    CHECK(code == 0, Format("the second process ends with 0 (got %lu)", code));
    CHECK(FindWindowA("MAIN", "Tickperch OV") == clock, "only the first clock window exists");
    CHECK(WaitForSingleObject(first.info.hProcess, 0) == WAIT_TIMEOUT, "the first clock keeps running");
    ExitAndExpectCleanEnd(first, clock);
}

// Where the program's folder cannot be written (Program Files), the
// settings live in the user's application data; a file prepared beside the
// program counts on the first start there.
static std::string UserSettings()
{
    char folder[MAX_PATH] = "";
    GetEnvironmentVariableA("APPDATA", folder, MAX_PATH);
    return std::string(folder) + "\\Tickperch Orvel\\TkpchOV.ini";
}

static int UserPosition()
{
    return (int)GetPrivateProfileIntA("WINDOW", "POSITION", -1, UserSettings().c_str());
}

// One run on a fresh perch that must dock at the position and end cleanly:
// a settings write that failed would hold the end with its message.
static void RunDockingAt(int position, const char *what)
{
    HWND perch = MakePerch(100, 150, 700, 400);
    Activate(perch);
    ClockProcess process;
    CHECK(process.start(), "the clock starts");
    HWND clock = WaitForShownClock();
    CHECK(ClockSettlesAt(clock, PerchPoint(perch, position)), Format("%s: it docks at %d", what, position));
    ExitAndExpectCleanEnd(process, clock);
    DestroyWindow(perch);
}

static void PrepareSettingsBeside()
{
    DeleteFileA(UserSettings().c_str());
    DeleteFileA(App.settings().c_str());
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    WriteSetting("WINDOW", "POSITION", "420");
}

static void SettingsInAProtectedFolder()
{
    RunDockingAt(420, "the file prepared beside the program counts");
    CHECK(UserPosition() == 420, "the run's settings are kept in the user's own file");
    WritePrivateProfileStringA("WINDOW", "POSITION", "300", UserSettings().c_str()); // as a drag leaves it
    RunDockingAt(300, "the next run reads the user's file");
    CHECK(UserPosition() == 300 && GetPrivateProfileIntA("OPTION", "TIMESYS", 0, UserSettings().c_str()) == 24,
          "and keeps every setting there");
    CHECK(ReadSetting("WINDOW", "POSITION") == "420" && ReadSetting("OPTION", "TIMESYS") == "<missing>",
          "the file beside the program is as prepared");

    // Nowhere to write: the end says so, naming the file.
    SetEnvironmentVariableA("APPDATA", App.file("nowhere").c_str());
    ClockProcess process;
    CHECK(process.start(), "the clock starts");
    HWND clock = WaitForShownClock();
    ExitClock(clock);
    HWND box = FindMessageBox("問題");
    std::string text = box ? MessageBoxText(box) : "";
    CHECK(text.find("設定を保存できませんでした。") == 0 && text.find(App.file("nowhere")) != std::string::npos,
          "a write that fails everywhere is reported: " + text);
    if (box)
        PressOk(box);
    CHECK(process.waitExit() == 0, "and the clock ends");
}

static void SettingsBesideAgain()
{
    RunDockingAt(420, "a writable folder");
    CHECK(ReadSetting("OPTION", "TIMESYS") == "24", "the settings are written beside the program");
    CHECK(UserPosition() == 300, "and the user's file is left alone");
}

static void OddSettings()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    WriteSetting("WINDOW", "POSITION", "-40");
    WriteSetting("OPTION", "TIMESYS", "13");
    WriteSetting("OPTION", "YEAR", "7");
    HWND perch = MakePerch(100, 150, 700, 400);
    Activate(perch);
    ClockProcess process;
    process.start();
    HWND clock = WaitForShownClock();
    RECT rect = Rect(perch);
    CHECK(ClockSettlesAt(clock, POINT{rect.right - 50, rect.top - 35}),
          "an offset beyond the right end is clamped when placing");
    ExitAndExpectCleanEnd(process, clock);
    CHECK(ReadSetting("WINDOW", "POSITION") == "-40", "the negative offset is kept: " +
                                                          ReadSetting("WINDOW", "POSITION"));
    CHECK(ReadSetting("OPTION", "TIMESYS") == "13", "TIMESYS as read");
    CHECK(ReadSetting("OPTION", "YEAR") == "7", "YEAR as read");
}

static void EndSession()
{
    WriteSetting("TICKPERCH", "INITIALIZE", "1");
    WriteSetting("WINDOW", "POSITION", "333");
    HWND perch = MakePerch(100, 150, 700, 400);
    Activate(perch);
    ClockProcess process;
    process.start();
    HWND clock = WaitForShownClock();
    CHECK(clock != NULL, "the clock runs");
    POINT perched = PerchPoint(perch, 333);
    CHECK(ClockSettlesAt(clock, perched), "on its perch");
    CHECK(PumpUntil(TrayIconShown), "with its tray icon");
    DeleteFileA(App.settings().c_str());

    // The session ends: the system asks, then tells, then ends the process.
    SendMessageA(clock, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(clock, WM_ENDSESSION, TRUE, 0);
    CHECK(ReadSetting("WINDOW", "POSITION") == "333", "the settings are written before the process ends");
    CHECK(ReadSetting("TICKPERCH", "INITIALIZE") == "1", "every key, INITIALIZE too");
    CHECK(ReadSetting("OPTION", "TRAY") == "1", "and the options");
    CHECK(PumpUntil([] { return !TrayIconShown(); }), "the tray icon is deleted");
    // With the hook removed nothing reports windows to the clock any more.
    // Reports posted before the end may still wait in its queue: they are
    // handled first, while the perch is still in front.
    PumpMessages(800);
    CHECK(ClockSettlesAt(clock, perched), "the clock stays on its perch meanwhile");
    HWND other = MakePerch(300, 450, 500, 300);
    Activate(other);
    MoveWindow(perch, 150, 200, 700, 400, TRUE);
    PumpMessages(1000);
    RECT rect = Rect(clock);
    CHECK(rect.left == perched.x && rect.top == perched.y,
          Format("the hook is removed: the clock no longer follows (at %ld,%ld)", rect.left, rect.top));
    process.kill();
}

// Played by the driver of the other edition: its windows are of the other
// bitness than the clock, so the clock's hook library is never loaded into
// them: the clock must find their changes on its own.
static void CrossBitness()
{
    TwoPerches run;
    StartOnFirstOfTwo(run);
    HWND first = run.first, second = run.second, clock = run.clock;
    POINT onFirst = PerchPoint(first, 500);
    CHECK(ClockSettlesAt(clock, onFirst), "at start the clock asks for the foreground window itself and perches");
    CHECK(ClockTicks(clock), "and handles what its start-up queued");

    // Neither the hook nor a window event reaches across under Wine: the
    // clock's own look at the foreground window each tick finds the change.
    // Two ticks on the face: the later one surely came after the change.
    MoveWindow(first, 150, 250, 700, 400, TRUE);
    CHECK(ClockTicks(clock, 2) && ClockSettlesAt(clock, PerchPoint(first, 500), 0),
          "a moved window of the other bitness is followed at the next tick");
    Activate(second);
    CHECK(ClockTicks(clock, 2) && ClockSettlesAt(clock, PerchPoint(second, 500), 0), "and an activated one");
    DestroyWindow(second);
    DestroyWindow(first);
    CHECK(ClockHides(clock), "with its perch gone and nothing in its place the clock hides");
    ExitAndExpectCleanEnd(run.process, clock);
}

const Phase Phases[] = {
    {"first_start", FirstStart},
    {"second_start_after_first", SecondStartAfterFirst},
    {"follow", Follow},
    {"hide_and_return", HideAndReturn},
    {"drag", Drag},
    {"second_instance", SecondInstance},
    {"odd_settings", OddSettings},
    {"settings_prepared", PrepareSettingsBeside},
    {"settings_protected", SettingsInAProtectedFolder},
    {"settings_beside", SettingsBesideAgain},
    {"end_session", EndSession},
    {"cross_bitness", CrossBitness},
    {NULL, NULL},
};
