// The settings file: an INI file beside the program, read once at start
// and written once at exit; in the user's application data where the
// program's folder cannot be written.
#ifndef TKP_STARTUP_SETTINGS_H
#define TKP_STARTUP_SETTINGS_H

#include <windows.h>

#include "../base/appstate.h"

#define DEFAULT_DATA_NAME TEXT("DEFAULTDATA")
// Where the program's folder cannot be written: %APPDATA%\USER_SETTINGS_FOLDER.
#define USER_SETTINGS_FOLDER TEXT("Tickperch Orvel")
#define USER_SETTINGS_NAME TEXT("TkpchOV.ini")

// INITIALIZE values: how the last finished run started.
enum { FIRST_RUN = 0, LAST_RUN_BUILT_IN = 1, LAST_RUN_DATA_FILE = 2 };

// settingsFile (MAX_PATH characters) := the program's path with "ini" for its extension.
void BuildSettingsPath(HINSTANCE instance, TCHAR *settingsFile);
// The file the run keeps its settings in (MAX_PATH characters): the one
// beside the program wherever that can be written; else the user's own,
// %APPDATA%\Tickperch Orvel\TkpchOV.ini, its folder made and, on its first
// start, a copy of the file beside the program when there is one. Without
// an application data folder (Windows 95) the file beside the program stays.
void ChooseSettingsFile(HINSTANCE instance, TCHAR *settingsFile);

// Reads the data file name (DATA_FILE_NAME_SIZE characters) and the options, defaults for missing keys.
void ReadSettings(const TCHAR *settingsFile, TCHAR *dataFile, struct ClockOptions *options);
int ReadLastRunKind(const TCHAR *settingsFile);

int WriteSettingInt(const TCHAR *section, const TCHAR *key, int value, const TCHAR *file);
// Writes every key in order and flushes the platform's cache of the file;
// 1 when every value was written.
// The file stays in the system's code page (no byte-order mark) while the
// values fit it; the Unicode edition turns it into UTF-16 first when one
// does not (KeepSettingsAsUnicode).
int WriteSettings(const TCHAR *settingsFile, const TCHAR *currentDataFile, const struct ClockOptions *options,
                  const TCHAR *startupDataFile);
#ifdef UNICODE
// 1 when the file is (now) UTF-16 with a byte-order mark, or other text with
// a mark that is left alone; a missing file becomes an empty UTF-16 one.
int KeepSettingsAsUnicode(const WCHAR *settingsFile);
#endif

#endif
