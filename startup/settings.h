// The settings file: an INI file beside the program, read once at start
// and written once at exit.
#ifndef TKP_STARTUP_SETTINGS_H
#define TKP_STARTUP_SETTINGS_H

#include <windows.h>

#include "../base/appstate.h"

#define DEFAULT_DATA_NAME TEXT("DEFAULTDATA")

// INITIALIZE values: how the last finished run started.
enum { FIRST_RUN = 0, LAST_RUN_BUILT_IN = 1, LAST_RUN_DATA_FILE = 2 };

// settingsFile (MAX_PATH characters) := the program's path with "ini" for its extension.
void BuildSettingsPath(HINSTANCE instance, TCHAR *settingsFile);

// Reads the data file name (DATA_FILE_NAME_SIZE characters) and the options, defaults for missing keys.
void ReadSettings(const TCHAR *settingsFile, TCHAR *dataFile, struct ClockOptions *options);
int ReadLastRunKind(const TCHAR *settingsFile);

int WriteSettingInt(const TCHAR *section, const TCHAR *key, int value, const TCHAR *file);
// Writes every key in order and flushes the platform's cache of the file.
// The file stays in the system's code page (no byte-order mark) while the
// values fit it; the Unicode edition turns it into UTF-16 first when one
// does not (KeepSettingsAsUnicode).
void WriteSettings(const TCHAR *settingsFile, const TCHAR *currentDataFile, const struct ClockOptions *options,
                   const TCHAR *startupDataFile);
#ifdef UNICODE
// 1 when the file is (now) UTF-16 with a byte-order mark, or other text with
// a mark that is left alone; a missing file becomes an empty UTF-16 one.
int KeepSettingsAsUnicode(const WCHAR *settingsFile);
#endif

#endif
