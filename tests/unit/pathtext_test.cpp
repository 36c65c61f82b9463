// The long-form rewrite over a folder tree of the test's own making, and
// the path taken from the command line. Under ASan, a rule that lets a
// path past its 260-byte buffers shows up as an overflow.
#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "base/pathtext.h"

namespace {

// Typed path -> the name its folder lists it under. Every lookup is logged.
template <typename Char> struct BasicFolders {
    std::map<std::basic_string<Char>, std::basic_string<Char>> listed;
    std::vector<std::basic_string<Char>> asked;
};
using Folders = BasicFolders<char>;

template <typename Char> int LookUp(void *context, const Char *path, Char *name)
{
    BasicFolders<Char> *folders = (BasicFolders<Char> *)context;
    folders->asked.push_back(path);
    auto found = folders->listed.find(path);
    if (found == folders->listed.end())
        return 0;
    std::char_traits<Char>::copy(name, found->second.c_str(), found->second.size() + 1);
    return 1;
}

// Runs the rewrite into a buffer that holds "former"; returns the result
// and what the buffer holds afterwards.
struct Outcome {
    int result;
    std::string out;
};

Outcome Expand(Folders &folders, const std::string &path, int outSize = PATH_BUFFER_SIZE)
{
    std::vector<char> out(PATH_BUFFER_SIZE + 1, '\0');
    strcpy(out.data(), "former");
    int result = ExpandListedNames(path.c_str(), out.data(), outSize, LookUp, &folders, NULL);
    return Outcome{result, out.data()};
}

} // namespace

TEST(LongPath, EveryComponentAfterTheFirstBackslashBecomesItsListedName)
{
    Folders folders;
    folders.listed = {{"C:\\PROGRA~1\\CLOCK\\SKINDA~1.QVE", "Skin data.qve"},
                      {"C:\\PROGRA~1\\CLOCK", "Clock"},
                      {"C:\\PROGRA~1", "Program Files"},
                      {"C:", "what the drive lists"}};
    Outcome outcome = Expand(folders, "C:\\PROGRA~1\\CLOCK\\SKINDA~1.QVE");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.out, "C:\\Program Files\\Clock\\Skin data.qve") << "the drive stays as typed";
    EXPECT_EQ(folders.asked, (std::vector<std::string>{"C:\\PROGRA~1\\CLOCK\\SKINDA~1.QVE", "C:\\PROGRA~1\\CLOCK",
                                                       "C:\\PROGRA~1", "C:"}));

    // A name without a backslash stays as it is.
    folders.listed["plain.qve"] = "PLAIN.QVE";
    EXPECT_EQ(Expand(folders, "plain.qve").out, "plain.qve");

    // A folder that lists no entry of its own (a network share) keeps its text.
    folders.listed = {{"\\\\server\\share\\a.qve", "Alpha.qve"}};
    outcome = Expand(folders, "\\\\server\\share\\a.qve");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.out, "\\\\server\\share\\Alpha.qve");
}

TEST(LongPath, SourceAndDestinationMayBeOneBuffer)
{
    Folders folders;
    folders.listed = {{"C:\\A~1\\B~1", "bee"}, {"C:\\A~1", "a folder"}};
    char buffer[PATH_BUFFER_SIZE] = "C:\\A~1\\B~1";
    EXPECT_EQ(ExpandListedNames(buffer, buffer, sizeof buffer, LookUp, &folders, NULL), 1);
    EXPECT_STREQ(buffer, "C:\\a folder\\bee");
}

TEST(LongPath, FailuresLeaveTheDestinationUntouched)
{
    // Every path names an entry in this tree, so only the rule under test
    // can refuse it.
    Folders folders;
    const std::string longName(200, 'n');
    std::string longest = "C:\\" + std::string(256, 'x'); // 259 characters
    std::string tooLong = longest + "y";                  // 260
    folders.listed = {{longest, "listed"},
                      {tooLong, "listed"},
                      {"C:\\a\\b", longName},
                      {"C:\\a", longName},
                      {"C:\\folder\\file.qve", "file.qve"},
                      {"C:\\folder", "folder"},
                      {"C:\\*.qve", "found by the wildcard.qve"},
                      {"C:\\a?.qve", "ab.qve"}};
    struct {
        const char *what;
        std::string path;
        int outSize;
        int result;
        std::string out;
    } cases[] = {
        {"259 characters", longest, PATH_BUFFER_SIZE, 1, "C:\\listed"},
        {"260 characters", tooLong, PATH_BUFFER_SIZE, 0, "former"},
        {"a thousand characters", std::string(1000, 'z'), PATH_BUFFER_SIZE, 0, "former"},
        // The two listed names joined need 405 bytes of the 260 there are.
        {"intermediate result that does not fit", "C:\\a\\b", PATH_BUFFER_SIZE, 0, "former"},
        {"result of exactly the given size", "C:\\folder\\file.qve", 18, 0, "former"},
        {"result one shorter than the given size", "C:\\folder\\file.qve", 19, 1, "C:\\folder\\file.qve"},
        {"no room at all", "C:\\folder\\file.qve", 0, 0, "former"},
        {"no such entry", "C:\\folder\\other.qve", PATH_BUFFER_SIZE, 0, "former"},
        {"empty path", "", PATH_BUFFER_SIZE, 0, "former"},
        {"wildcard *", "C:\\*.qve", PATH_BUFFER_SIZE, 0, "former"},
        {"wildcard ?", "C:\\a?.qve", PATH_BUFFER_SIZE, 0, "former"},
    };
    for (const auto &c : cases) {
        Outcome outcome = Expand(folders, c.path, c.outSize);
        EXPECT_EQ(outcome.result, c.result) << c.what;
        EXPECT_EQ(outcome.out, c.out) << c.what;
    }
}

TEST(LongPath, DoubleByteNamesAreCutBetweenCharacters)
{
    // The second byte of ソ 表 能 噂 is 0x5C, a backslash; of ポ 0x7C "|", of ァ 0x40 "@".
    Folders folders;
    folders.listed = {{"C:\\ソフト\\s.qve", "S.qve"}, {"C:\\ソフト", "ソフトウェア"}, {"C:\\ポァ\\表能", "表能"},
                      {"C:\\ポァ", "ポァ"}, {"C:\\噂\\b\x83", "b\x83"}, {"C:\\噂", "噂"}};
    struct {
        const char *commandLine, *path, *expanded; // expanded "": no such entry
        std::vector<std::string> asked;
    } rows[] = {
        {"\"C:\\ソフト\\s.qve\"", "C:\\ソフト\\s.qve", "C:\\ソフトウェア\\S.qve", {"C:\\ソフト\\s.qve", "C:\\ソフト", "C:"}},
        {" C:\\ポァ\\表能\t", "C:\\ポァ\\表能", "C:\\ポァ\\表能", {"C:\\ポァ\\表能", "C:\\ポァ", "C:"}},
        // A lead byte whose second byte would be the NUL: nothing past it is read.
        {"C:\\噂\\b\x83", "C:\\噂\\b\x83", "C:\\噂\\b\x83", {"C:\\噂\\b\x83", "C:\\噂", "C:"}},
        // This quote is the second byte of a character, so no pair goes.
        {"\"C:\\噂\x83\"", "\"C:\\噂\x83\"", "", {"\"C:\\噂\x83\""}},
    };
    for (const auto &r : rows) {
        char path[PATH_BUFFER_SIZE] = "";
        EXPECT_EQ(TakeCommandLinePath(r.commandLine, path, sizeof path, IsShiftJisLeadByte), 1) << r.commandLine;
        EXPECT_STREQ(path, r.path);
        folders.asked.clear();
        int result = ExpandListedNames(path, path, sizeof path, LookUp, &folders, IsShiftJisLeadByte);
        EXPECT_STREQ(result ? path : "", r.expanded);
        EXPECT_EQ(folders.asked, r.asked) << r.path;
    }

    // UTF-16 units are whole characters: 한 is U+D55C. (Out of the macros, whose text is narrow.)
    const std::wstring folder = L"C:\\한글", file = folder + L"\\s.qve";
    BasicFolders<wchar_t> wide{{{file, L"S.qve"}, {folder, L"한글"}}, {}};
    wchar_t widePath[PATH_BUFFER_SIZE];
    EXPECT_EQ(TakeCommandLinePath((L" \"" + file + L"\" ").c_str(), widePath, PATH_BUFFER_SIZE, NULL), 1);
    EXPECT_EQ(ExpandListedNames(widePath, widePath, PATH_BUFFER_SIZE, LookUp, &wide, NULL), 1);
    EXPECT_EQ(widePath, folder + L"\\S.qve");
    EXPECT_EQ(wide.asked, (std::vector<std::wstring>{file, folder, L"C:"}));
}

TEST(CommandLinePath, BlanksAndOnePairOfQuotesGo)
{
    struct {
        const char *commandLine;
        int result;
        const char *path;
    } cases[] = {
        {"C:\\Skins\\Night.qve", 1, "C:\\Skins\\Night.qve"},
        {"C:\\My Skins\\Night.qve", 1, "C:\\My Skins\\Night.qve"}, // taken whole, not split
        {"\"C:\\My Skins\\Night.qve\"", 1, "C:\\My Skins\\Night.qve"},
        {"  \t\"C:\\My Skins\\Night.qve\" \t ", 1, "C:\\My Skins\\Night.qve"},
        {" C:\\Night.qve ", 1, "C:\\Night.qve"},
        {"\"\"C:\\Night.qve\"\"", 1, "\"C:\\Night.qve\""}, // one pair only
        {"\"C:\\Night.qve", 1, "\"C:\\Night.qve"},         // no pair: left for the lookup to refuse
        {"\"", 1, "\""},
        {"\"\"", 0, ""},
        {"   ", 0, ""},
        {"", 0, ""},
    };
    for (const auto &c : cases) {
        char out[PATH_BUFFER_SIZE] = "";
        EXPECT_EQ(TakeCommandLinePath(c.commandLine, out, sizeof out, NULL), c.result) << "[" << c.commandLine << "]";
        if (c.result) {
            EXPECT_STREQ(out, c.path) << "[" << c.commandLine << "]";
        }
    }
}

TEST(CommandLinePath, PathThatDoesNotFitIsRefused)
{
    char out[8];
    EXPECT_EQ(TakeCommandLinePath("\"C:\\a.qv\"", out, sizeof out, NULL), 1) << "7 characters fit 8 bytes";
    EXPECT_STREQ(out, "C:\\a.qv");
    EXPECT_EQ(TakeCommandLinePath(" C:\\ab.qv ", out, sizeof out, NULL), 0) << "8 do not";
}
