#include "settings.h"

#include <string.h>

#include "../base/helpers.h"

void BuildSettingsPath(HINSTANCE instance, char *settingsFile)
{
    DWORD length = GetModuleFileNameA(instance, settingsFile, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        settingsFile[0] = '\0';
        return;
    }
    ExpandLongPath(settingsFile, settingsFile, MAX_PATH); // on failure the system's form stays
    size_t full = strlen(settingsFile);
    if (full >= 3)
        memcpy(settingsFile + full - 3, "ini", 3);
}

void ReadSettings(const char *settingsFile, char *dataFile, struct ClockOptions *options)
{
    GetPrivateProfileStringA("DATAFILE", "FILENAME", DEFAULT_DATA_NAME, dataFile, DATA_FILE_NAME_SIZE, settingsFile);
    options->position = (int)GetPrivateProfileIntA("WINDOW", "POSITION", 500, settingsFile);
    options->onScreen = (int)GetPrivateProfileIntA("WINDOW", "ONSCREEN", 1, settingsFile);
    options->hideFullscreen = (int)GetPrivateProfileIntA("WINDOW", "HIDEFULLSCREEN", 1, settingsFile);
    options->timeSys = (int)GetPrivateProfileIntA("OPTION", "TIMESYS", 24, settingsFile);
    options->tooltip = (int)GetPrivateProfileIntA("OPTION", "TOOLTIP", 1, settingsFile);
    options->year = (int)GetPrivateProfileIntA("OPTION", "YEAR", 0, settingsFile);
    options->slash = (int)GetPrivateProfileIntA("OPTION", "SLASH", 0, settingsFile);
    options->tray = (int)GetPrivateProfileIntA("OPTION", "TRAY", 1, settingsFile);
}

int ReadLastRunKind(const char *settingsFile)
{
    return (int)GetPrivateProfileIntA("TICKPERCH", "INITIALIZE", FIRST_RUN, settingsFile);
}

int WriteSettingInt(const char *section, const char *key, int value, const char *file)
{
    char text[12];
    wsprintfA(text, "%d", value);
    return WritePrivateProfileStringA(section, key, text, file) ? 1 : 0;
}

void WriteSettings(const char *settingsFile, const char *currentDataFile,
                   const struct ClockOptions *options, const char *startupDataFile)
{
    WritePrivateProfileStringA("DATAFILE", "FILENAME", currentDataFile, settingsFile);
    WriteSettingInt("WINDOW", "POSITION", options->position, settingsFile);
    WriteSettingInt("WINDOW", "ONSCREEN", options->onScreen, settingsFile);
    WriteSettingInt("WINDOW", "HIDEFULLSCREEN", options->hideFullscreen, settingsFile);
    WriteSettingInt("OPTION", "TIMESYS", options->timeSys, settingsFile);
    WriteSettingInt("OPTION", "TOOLTIP", options->tooltip, settingsFile);
    WriteSettingInt("OPTION", "YEAR", options->year, settingsFile);
    WriteSettingInt("OPTION", "SLASH", options->slash, settingsFile);
    WriteSettingInt("OPTION", "TRAY", options->tray, settingsFile);
    int kind = strcmp(startupDataFile, DEFAULT_DATA_NAME) == 0 ? LAST_RUN_BUILT_IN : LAST_RUN_DATA_FILE;
    WriteSettingInt("TICKPERCH", "INITIALIZE", kind, settingsFile);
    WritePrivateProfileStringA(NULL, NULL, NULL, settingsFile);
}
