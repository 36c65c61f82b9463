// Long-form paths and centring windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/helpers.h"
#include "testkit.h"

// ExpandLongPath in the tests' own text; out is written only on success, as
// the program's own buffer is.
static int ExpandInCodePage(const char *path, char *out, int outSize)
{
    TCHAR expanded[MAX_PATH];
    int result = ExpandLongPath(ToT(path).c_str(), expanded, outSize);
    if (result)
        lstrcpynA(out, FromT(expanded).c_str(), MAX_PATH);
    return result;
}

TEST(Paths, ShortAndMiscasedComponentsBecomeTheListedNames)
{
    TempFolder folder;
    std::string longFolder = folder.file("Long Folder Name");
    ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), NULL));
    std::string longFile = longFolder + "\\Skin data file.qve";
    HANDLE created = CreateFileA(longFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);

    char shortForm[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(longFile.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_STRNE(shortForm, longFile.c_str()) << "the folder lists a short name";
    char expanded[MAX_PATH] = "untouched";
    ASSERT_EQ(ExpandInCodePage(shortForm, expanded, MAX_PATH), 1) << shortForm;
    // The drive part stays as typed; everything after it is the listed name.
    char listed[MAX_PATH];
    GetLongPathNameA(longFile.c_str(), listed, MAX_PATH);
    EXPECT_STREQ(expanded, listed);

    std::string miscased = longFile;
    CharUpperBuffA(&miscased[3], (DWORD)miscased.size() - 3);
    char fromMiscased[MAX_PATH];
    ASSERT_EQ(ExpandInCodePage(miscased.c_str(), fromMiscased, MAX_PATH), 1);
    EXPECT_STREQ(fromMiscased, listed);

    // Source and destination may be one buffer.
    char inPlace[MAX_PATH];
    lstrcpyA(inPlace, shortForm);
    ASSERT_EQ(ExpandInCodePage(inPlace, inPlace, MAX_PATH), 1);
    EXPECT_STREQ(inPlace, listed);
}

TEST(Paths, RelativePathsAndDotComponentsBecomeAbsolute)
{
    TempFolder folder;
    ASSERT_TRUE(CreateDirectoryA(folder.file("Sub Folder").c_str(), NULL));
    folder.write("plain.qve", std::string("x"));
    char listed[MAX_PATH];
    ASSERT_GT(GetLongPathNameA(folder.file("plain.qve").c_str(), listed, MAX_PATH), 0u);

    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder.file("Sub Folder").c_str());
    // The folder lookup of ".." lists the parent under its own name, which
    // would make ...\Sub Folder\<parent>\plain.qve.
    const std::string typed[] = {"..\\plain.qve", ".\\..\\plain.qve", folder.file("Sub Folder\\..\\plain.qve"),
                                 folder.file(".\\plain.qve")};
    for (const std::string &path : typed) {
        char out[MAX_PATH] = "former text";
        EXPECT_EQ(ExpandInCodePage(path.c_str(), out, MAX_PATH), 1) << path;
        EXPECT_STREQ(out, listed) << path;
    }
    SetCurrentDirectoryA(folder.path().c_str());
    char out[MAX_PATH] = "former text";
    EXPECT_EQ(ExpandInCodePage("plain.qve", out, MAX_PATH), 1);
    SetCurrentDirectoryA(previous);
    EXPECT_STREQ(out, listed) << "a bare name is found from any working folder afterwards";
}

TEST(Paths, FailuresLeaveTheDestinationUntouched)
{
    TempFolder folder;
    folder.write("exists.qve", std::string("x"));
    std::string existing = folder.file("exists.qve");
    struct {
        const char *what;
        std::string path;
        int outSize;
    } failures[] = {
        {"no such file", folder.file("no such file.qve"), MAX_PATH},
        {"a result that does not fit the size given", existing, (int)existing.size()},
        {"empty", "", MAX_PATH},
    };
    for (const auto &failure : failures) {
        char out[MAX_PATH] = "former text";
        EXPECT_EQ(ExpandInCodePage(failure.path.c_str(), out, failure.outSize), 0) << failure.what;
        EXPECT_STREQ(out, "former text") << failure.what;
    }
    char out[MAX_PATH];
    EXPECT_EQ(ExpandInCodePage(existing.c_str(), out, (int)existing.size() + 1), 1);
}

TEST(Paths, CenterWindowKeepsTheSizeAndTruncatesTowardZero)
{
    HWND reference = MakeTestWindow(100, 100, 400, 300);
    HWND small = MakeTestWindow(0, 0, 101, 51, WS_POPUP);
    EXPECT_TRUE(CenterWindow(small, reference));
    RECT placed = WindowRect(small);
    EXPECT_EQ(placed.left, 100 + (400 - 101) / 2);
    EXPECT_EQ(placed.top, 100 + (300 - 51) / 2);
    EXPECT_EQ(placed.right - placed.left, 101);
    EXPECT_EQ(placed.bottom - placed.top, 51);

    // Larger than the reference: both halves go negative, rounded toward zero.
    HWND large = MakeTestWindow(0, 0, 403, 305, WS_POPUP);
    CenterWindow(large, reference);
    placed = WindowRect(large);
    EXPECT_EQ(placed.left, 100 - 1); // -3 / 2
    EXPECT_EQ(placed.top, 100 - 2);  // -5 / 2
    DestroyWindow(large);
    DestroyWindow(small);
    DestroyWindow(reference);
}
