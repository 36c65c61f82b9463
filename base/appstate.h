// The program's process-wide state. One instance, alive for the whole run;
// the comment on each group names the module that owns those fields (the
// one that makes and frees them), and who else writes any of them.
#ifndef TKP_BASE_APPSTATE_H
#define TKP_BASE_APPSTATE_H

#include <windows.h>

// The data file name as the settings file and the menu keep it, in
// characters (TCHAR).
enum { DATA_FILE_NAME_SIZE = 256 };

// The user's options, one settings key each: startup/settings reads them at
// start and writes them at exit. In between, clockwin/dock writes position
// when the user slides the clock, and dialogs/settingdlg the others on OK.
struct ClockOptions {
    int position; // pixels from the perch window's right edge to the clock's left edge
    int timeSys;  // 12 or 24
    int tooltip;  // 1: the tooltip shows the date
    int year;     // 0 none, 1 western year, 2 era year
    int slash;    // 0 slashes, else Japanese unit characters
    int tray;     // 1: notification-area icon shown
    // Only the settings file sets these two; 0 gives the perch's plain rule.
    int onScreen;       // 1: the face is kept on the perch's monitor
    int hideFullscreen; // 1: the clock hides over a fullscreen window
};

struct AppStateRecord {
    // startup/lifecycle: set at start-up, read-only afterwards, except
    // CurrentDataFile, which clockwin/commands replaces when another skin
    // is loaded
    HINSTANCE AppInstance;
    HWND OwnerWindow;
    HWND ClockWindow;
    HANDLE InstanceMutex;
    HCURSOR LinkCursor;
    TCHAR SettingsFile[MAX_PATH];
    TCHAR CurrentDataFile[DATA_FILE_NAME_SIZE];
    struct ClockOptions ClockOptions;

    // clockwin/dock: the perch records. Docking reads the two flags;
    // clockwin/commands writes them (held while the menu or a dialog is up,
    // and on Exit)
    HWND DockTarget;
    HWND PreviousDockTarget;
    int DockingSuspended;
    int ExitRequested;

    // clockwin/commands: one dialog at a time
    int DialogOpen;

    // clockwin/tooltip
    HWND TooltipWindow;

    // skin/skinload: the picture of the skin in force (NULL until one is).
    // The file's image is freed as soon as its picture exists, so no
    // SkinImage is kept.
    HBITMAP SkinBitmap;
};

extern AppStateRecord AppState;

#endif
