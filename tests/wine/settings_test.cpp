// The settings file: every key, in order, as signed decimal text.
#include <windows.h>

#include <gtest/gtest.h>
#include <limits.h>


#include "startup/settings.h"
#include "testkit.h"

static std::string ReadWholeFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::string text;
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

// The options and the data file name as the program reads them.
static std::string ReadSettingsOf(const std::string &file, ClockOptions *options)
{
    TCHAR dataFile[DATA_FILE_NAME_SIZE];
    ReadSettings(ToT(file).c_str(), dataFile, options);
    return FromT(dataFile);
}

TEST(Settings, MissingFileGivesTheDefaults)
{
    TempFolder folder;
    ClockOptions options;
    memset(&options, 0x55, sizeof options);
    EXPECT_EQ(ReadSettingsOf(folder.file("none.ini"), &options), "DEFAULTDATA");
    EXPECT_EQ(options.position, 500);
    EXPECT_EQ(options.timeSys, 24);
    EXPECT_EQ(options.tooltip, 1);
    EXPECT_EQ(options.year, 0);
    EXPECT_EQ(options.slash, 0);
    EXPECT_EQ(options.tray, 1);
    EXPECT_EQ(options.onScreen, 1);
    EXPECT_EQ(options.hideFullscreen, 1);
    EXPECT_EQ(ReadLastRunKind(ToT(folder.file("none.ini")).c_str()), FIRST_RUN);
}

TEST(Settings, ValuesOutOfRangeAreTakenAsRead)
{
    TempFolder folder;
    folder.write("clock.ini", "[WINDOW]\r\nPOSITION=-40\r\n[OPTION]\r\nTIMESYS=13\r\nYEAR=7\r\n"
                              "[DATAFILE]\r\nFILENAME=C:\\skins\\a.qve\r\n[TICKPERCH]\r\nINITIALIZE=2\r\n");
    ClockOptions options;
    EXPECT_EQ(ReadSettingsOf(folder.file("clock.ini"), &options), "C:\\skins\\a.qve");
    EXPECT_EQ(options.position, -40);
    EXPECT_EQ(options.timeSys, 13);
    EXPECT_EQ(options.year, 7);
    EXPECT_EQ(options.tooltip, 1); // missing key: default
    EXPECT_EQ(ReadLastRunKind(ToT(folder.file("clock.ini")).c_str()), LAST_RUN_DATA_FILE);
}

TEST(Settings, WritesEveryKeyInOrderAndReadsThemBack)
{
    TempFolder folder;
    std::string file = folder.file("clock.ini");
    ClockOptions written = {-40, 12, 0, 2, 1, 0, 0, 1};
    WriteSettings(ToT(file).c_str(), TEXT("C:\\skins\\night.qve"), &written, TEXT("DEFAULTDATA"));

    std::string text = ReadWholeFile(file);
    const char *order[] = {"[DATAFILE]", "FILENAME=C:\\skins\\night.qve", "[WINDOW]", "POSITION=-40", "ONSCREEN=0", "HIDEFULLSCREEN=1",
                           "[OPTION]",   "TIMESYS=12",  "TOOLTIP=0", "YEAR=2", "SLASH=1", "TRAY=0",
                           "[TICKPERCH]", "INITIALIZE=1"};
    size_t at = 0;
    for (const char *piece : order) {
        size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece << " missing or out of order in:\n" << text;
        at = found + strlen(piece);
    }

    ClockOptions read;
    ReadSettingsOf(file, &read);
    EXPECT_EQ(0, memcmp(&read, &written, sizeof read));
    EXPECT_EQ(ReadLastRunKind(ToT(file).c_str()), LAST_RUN_BUILT_IN);
}

TEST(Settings, StartupNameOtherThanTheMarkerRecordsADataFileRun)
{
    TempFolder folder;
    std::string file = folder.file("clock.ini");
    ClockOptions options = {500, 24, 1, 0, 0, 1, 1, 1};
    // The marker is compared byte for byte: another case is a file name.
    WriteSettings(ToT(file).c_str(), TEXT("DEFAULTDATA"), &options, TEXT("defaultdata"));
    EXPECT_EQ(ReadIniString(file, "TICKPERCH", "INITIALIZE"), "2");
    WriteSettings(ToT(file).c_str(), TEXT("DEFAULTDATA"), &options, TEXT("DEFAULTDATA"));
    EXPECT_EQ(ReadIniString(file, "TICKPERCH", "INITIALIZE"), "1");
}

TEST(Settings, ExtremeIntegersKeepTheirSignAndDigits)
{
    TempFolder folder;
    std::string file = folder.file("clock.ini");
    ASSERT_EQ(WriteSettingInt(TEXT("WINDOW"), TEXT("POSITION"), INT_MIN, ToT(file).c_str()), 1);
    EXPECT_EQ(ReadIniString(file, "WINDOW", "POSITION"), "-2147483648");
    WriteSettingInt(TEXT("WINDOW"), TEXT("POSITION"), INT_MAX, ToT(file).c_str());
    EXPECT_EQ(ReadIniString(file, "WINDOW", "POSITION"), "2147483647");
    WriteSettingInt(TEXT("WINDOW"), TEXT("POSITION"), 0, ToT(file).c_str());
    EXPECT_EQ(ReadIniString(file, "WINDOW", "POSITION"), "0");
}

TEST(Settings, PathIsTheProgramsWithTheIniExtension)
{
    // A program started by its short name keeps its settings beside it
    // under its long name: a copy of the hook library loaded as one.
    TempFolder folder;
    char testProgram[MAX_PATH];
    GetModuleFileNameA(NULL, testProgram, MAX_PATH);
    std::string library = testProgram;
    library.replace(library.rfind('\\') + 1, std::string::npos, "TKPCHHK.dll");
    std::string longName = folder.file("Clock Program With A Long Name.dll");
    ASSERT_TRUE(CopyFileA(library.c_str(), longName.c_str(), FALSE));
    char shortName[MAX_PATH], expected[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(longName.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(GetLongPathNameA(longName.c_str(), expected, MAX_PATH), 0u);
    memcpy(expected + strlen(expected) - 3, "ini", 3);
    HMODULE module = LoadLibraryA(shortName);
    ASSERT_TRUE(module != NULL);

    TCHAR settingsFile[MAX_PATH];
    BuildSettingsPath(module, settingsFile);
    FreeLibrary(module);
    EXPECT_EQ(FromT(settingsFile), expected) << "loaded as " << shortName;
}

