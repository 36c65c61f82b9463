#include "settings.h"

#include <string.h>
#include <tchar.h>

#include "../base/helpers.h"

void BuildSettingsPath(HINSTANCE instance, TCHAR *settingsFile)
{
    DWORD length = GetModuleFileName(instance, settingsFile, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        settingsFile[0] = '\0';
        return;
    }
    ExpandLongPath(settingsFile, settingsFile, MAX_PATH); // on failure the system's form stays
    size_t full = _tcslen(settingsFile);
    if (full >= 3)
        memcpy(settingsFile + full - 3, TEXT("ini"), 3 * sizeof(TCHAR));
}

// 1 when the settings can be written there: the file itself when it
// exists, else a new file in its folder (made and gone at once). A
// protected folder (Program Files) or a read-only medium refuses.
static int CanWriteSettingsAt(const TCHAR *settingsFile)
{
    HANDLE file = CreateFile(settingsFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        TCHAR probe[MAX_PATH + 8];
        wsprintf(probe, TEXT("%s.probe"), settingsFile);
        file = CreateFile(probe, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                          NULL);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(file);
    return 1;
}

// settingsFile := %APPDATA%\Tickperch Orvel\TkpchOV.ini, its folder made;
// 0 when the system has no such folder for the user.
static int BuildUserSettingsPath(TCHAR *settingsFile)
{
    TCHAR folder[MAX_PATH];
    DWORD length = GetEnvironmentVariable(TEXT("APPDATA"), folder, MAX_PATH);
    if (length == 0 || length + ARRAYSIZE(USER_SETTINGS_FOLDER) + ARRAYSIZE(USER_SETTINGS_NAME) > MAX_PATH)
        return 0;
    wsprintf(settingsFile, TEXT("%s\\%s"), folder, USER_SETTINGS_FOLDER);
    CreateDirectory(settingsFile, NULL); // there already, or made now
    wsprintf(settingsFile, TEXT("%s\\%s\\%s"), folder, USER_SETTINGS_FOLDER, USER_SETTINGS_NAME);
    return 1;
}

void ChooseSettingsFile(HINSTANCE instance, TCHAR *settingsFile)
{
    BuildSettingsPath(instance, settingsFile);
    if (!settingsFile[0] || CanWriteSettingsAt(settingsFile))
        return;
    TCHAR userFile[MAX_PATH];
    if (!BuildUserSettingsPath(userFile))
        return;
    // The first start there takes over a file prepared beside the program.
    if (GetFileAttributes(userFile) == INVALID_FILE_ATTRIBUTES)
        CopyFile(settingsFile, userFile, TRUE);
    lstrcpy(settingsFile, userFile);
}

void ReadSettings(const TCHAR *settingsFile, TCHAR *dataFile, struct ClockOptions *options)
{
    GetPrivateProfileString(TEXT("DATAFILE"), TEXT("FILENAME"), DEFAULT_DATA_NAME, dataFile, DATA_FILE_NAME_SIZE,
                            settingsFile);
    options->position = (int)GetPrivateProfileInt(TEXT("WINDOW"), TEXT("POSITION"), 500, settingsFile);
    options->onScreen = (int)GetPrivateProfileInt(TEXT("WINDOW"), TEXT("ONSCREEN"), 1, settingsFile);
    options->hideFullscreen = (int)GetPrivateProfileInt(TEXT("WINDOW"), TEXT("HIDEFULLSCREEN"), 1, settingsFile);
    options->timeSys = (int)GetPrivateProfileInt(TEXT("OPTION"), TEXT("TIMESYS"), 24, settingsFile);
    options->tooltip = (int)GetPrivateProfileInt(TEXT("OPTION"), TEXT("TOOLTIP"), 1, settingsFile);
    options->year = (int)GetPrivateProfileInt(TEXT("OPTION"), TEXT("YEAR"), 0, settingsFile);
    options->slash = (int)GetPrivateProfileInt(TEXT("OPTION"), TEXT("SLASH"), 0, settingsFile);
    options->tray = (int)GetPrivateProfileInt(TEXT("OPTION"), TEXT("TRAY"), 1, settingsFile);
}

int ReadLastRunKind(const TCHAR *settingsFile)
{
    return (int)GetPrivateProfileInt(TEXT("TICKPERCH"), TEXT("INITIALIZE"), FIRST_RUN, settingsFile);
}

int WriteSettingInt(const TCHAR *section, const TCHAR *key, int value, const TCHAR *file)
{
    TCHAR text[12];
    wsprintf(text, TEXT("%d"), value);
    return WritePrivateProfileString(section, key, text, file) ? 1 : 0;
}

#ifdef UNICODE
// 1 when the system's code page holds every character of value, as a file
// without a byte-order mark needs.
static int FitsCodePage(const WCHAR *value)
{
    if (GetACP() == CP_UTF8)
        return 1; // the UTF-8 code page holds everything (and takes no "used default" flag)
    BOOL lost = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, value, -1, NULL, 0, NULL, &lost) > 0 && !lost;
}

static int HasByteOrderMark(const BYTE *bytes, DWORD length)
{
    return (length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) ||
           (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF);
}

// Rewrites a settings file kept in the system's code page as UTF-16 with a
// byte-order mark, every value as it reads today. The profile functions keep
// a file's form, so the values written next are kept whole. Written beside
// and then put in place: a failure leaves the file as it was.
int KeepSettingsAsUnicode(const WCHAR *settingsFile)
{
    enum { LARGEST = 1 << 20 }; // far beyond any settings file of ours
    HANDLE file = CreateFileW(settingsFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD length = 0;
    BYTE *bytes = NULL;
    // Only a file that is not there starts empty: one that cannot be read
    // now is left as it is rather than replaced.
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND)
        return 0;
    if (file != INVALID_HANDLE_VALUE) {
        DWORD high = 0;
        length = GetFileSize(file, &high);
        DWORD read = 0;
        bytes = high == 0 && length < LARGEST ? (BYTE *)HeapAlloc(GetProcessHeap(), 0, length + 1) : NULL;
        int whole = bytes && ReadFile(file, bytes, length, &read, NULL) && read == length;
        CloseHandle(file);
        if (!whole) {
            if (bytes)
                HeapFree(GetProcessHeap(), 0, bytes);
            return 0;
        }
        if (HasByteOrderMark(bytes, length)) {
            HeapFree(GetProcessHeap(), 0, bytes);
            return 1;
        }
    }
    int units = length ? MultiByteToWideChar(CP_ACP, 0, (const char *)bytes, (int)length, NULL, 0) : 0;
    WCHAR *text = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, ((SIZE_T)units + 1) * sizeof(WCHAR));
    int done = text != NULL && (length == 0 || units > 0);
    if (done) {
        text[0] = 0xFEFF;
        if (units)
            MultiByteToWideChar(CP_ACP, 0, (const char *)bytes, (int)length, text + 1, units);
        WCHAR temporary[MAX_PATH + 4];
        done = lstrlenW(settingsFile) < MAX_PATH;
        if (done) {
            wsprintfW(temporary, L"%s.new", settingsFile);
            HANDLE out = CreateFileW(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            DWORD size = ((DWORD)units + 1) * sizeof(WCHAR), written = 0;
            done = out != INVALID_HANDLE_VALUE;
            if (done) {
                done = WriteFile(out, text, size, &written, NULL) && written == size;
                done = CloseHandle(out) && done;
                done = done && MoveFileExW(temporary, settingsFile, MOVEFILE_REPLACE_EXISTING);
                if (!done)
                    DeleteFileW(temporary);
            }
        }
    }
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    if (bytes)
        HeapFree(GetProcessHeap(), 0, bytes);
    return done;
}
#endif

int WriteSettings(const TCHAR *settingsFile, const TCHAR *currentDataFile, const struct ClockOptions *options,
                  const TCHAR *startupDataFile)
{
#ifdef UNICODE
    // A file without a mark holds the system's code page: the x86 edition
    // and older versions read it. Only a value it cannot hold changes that.
    if (!FitsCodePage(currentDataFile))
        KeepSettingsAsUnicode(settingsFile);
#endif
    int written = WritePrivateProfileString(TEXT("DATAFILE"), TEXT("FILENAME"), currentDataFile, settingsFile) != 0;
    written &= WriteSettingInt(TEXT("WINDOW"), TEXT("POSITION"), options->position, settingsFile);
    written &= WriteSettingInt(TEXT("WINDOW"), TEXT("ONSCREEN"), options->onScreen, settingsFile);
    written &= WriteSettingInt(TEXT("WINDOW"), TEXT("HIDEFULLSCREEN"), options->hideFullscreen, settingsFile);
    written &= WriteSettingInt(TEXT("OPTION"), TEXT("TIMESYS"), options->timeSys, settingsFile);
    written &= WriteSettingInt(TEXT("OPTION"), TEXT("TOOLTIP"), options->tooltip, settingsFile);
    written &= WriteSettingInt(TEXT("OPTION"), TEXT("YEAR"), options->year, settingsFile);
    written &= WriteSettingInt(TEXT("OPTION"), TEXT("SLASH"), options->slash, settingsFile);
    written &= WriteSettingInt(TEXT("OPTION"), TEXT("TRAY"), options->tray, settingsFile);
    int kind = _tcscmp(startupDataFile, DEFAULT_DATA_NAME) == 0 ? LAST_RUN_BUILT_IN : LAST_RUN_DATA_FILE;
    written &= WriteSettingInt(TEXT("TICKPERCH"), TEXT("INITIALIZE"), kind, settingsFile);
    WritePrivateProfileString(NULL, NULL, NULL, settingsFile);
    return written;
}
