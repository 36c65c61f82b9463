// The settings file: an INI file beside the program, read once at start
// and written once at exit.
#ifndef TKP_STARTUP_SETTINGS_H
#define TKP_STARTUP_SETTINGS_H

#include <windows.h>

#include "../base/appstate.h"

#define DEFAULT_DATA_NAME "DEFAULTDATA"

// INITIALIZE values: how the last finished run started.
enum { FIRST_RUN = 0, LAST_RUN_BUILT_IN = 1, LAST_RUN_DATA_FILE = 2 };

// settingsFile (MAX_PATH bytes) := the program's path with "ini" for its extension.
void BuildSettingsPath(HINSTANCE instance, char *settingsFile);

// Reads the data file name (DATA_FILE_NAME_SIZE bytes) and the options, defaults for missing keys.
void ReadSettings(const char *settingsFile, char *dataFile, struct ClockOptions *options);
int ReadLastRunKind(const char *settingsFile);

int WriteSettingInt(const char *section, const char *key, int value, const char *file);
// Writes every key in order and flushes the platform's cache of the file.
void WriteSettings(const char *settingsFile, const char *currentDataFile,
                   const struct ClockOptions *options, const char *startupDataFile);

#endif
