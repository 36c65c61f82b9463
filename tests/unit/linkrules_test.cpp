// Which skin credits become live links.
#include <gtest/gtest.h>

#include "dialogs/linkrules.h"

TEST(LinkRules, WebAddresses)
{
    struct {
        const char *text;
        int link;
    } cases[] = {
        {"http://example.invalid/", 1},
        {"https://example.invalid/page?x=1&y=2", 1},
        {"HTTP://EXAMPLE.INVALID", 1},
        {"hTtPs://a", 1},
        {"http://", 1}, // the shell gets nothing it could run
        {"", 0},
        {"http:/example.invalid", 0},
        {"ftp://example.invalid", 0},
        {"file:///C:/Windows/notepad.exe", 0},
        {"C:\\Windows\\notepad.exe", 0},
        {"\\\\server\\share\\run.exe", 0},
        {"www.example.invalid", 0},
        {" http://example.invalid", 0},
        {"http://example.invalid/ evil", 0},
        {"http://example.invalid/\tx", 0},
        {"http://example.invalid/\x7F", 0},
        {"http://example.invalid/\r\n", 0},
        {"https://\x82\xA0.invalid", 1}, // Shift-JIS bytes are no blanks
        {"http://example.invalid/ソフト", 1},
        {"http://example.invalid/\x83 x", 0}, // a broken pair hides no blank
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsWebLink(c.text), c.link) << c.text;
    EXPECT_EQ(IsWebLink(L"https://\uD55C\uAE00.invalid/"), 1) << "no unit is cut to its low byte";
}

TEST(LinkRules, MailAddresses)
{
    struct {
        const char *text;
        int link;
    } cases[] = {
        {"someone@example.invalid", 1},
        {"a@b", 1},
        {"first.last+tag@example.invalid", 1},
        {"", 0},
        {"@example.invalid", 0},
        {"someone@", 0},
        {"someone", 0},
        {"a@b@c", 0},
        {"someone@example.invalid?subject=x", 0},
        {"someone@example.invalid&cc=x", 0},
        {"some%20one@example.invalid", 0},
        {"\"someone\"@example.invalid", 0},
        {"<someone@example.invalid>", 0},
        {"someone@example.invalid\\x", 0},
        {"someone@example.invalid;x", 0},
        {"some one@example.invalid", 0},
        {"someone@example.invalid\n", 0},
        {"someone@example.invalid\x01", 0},
        {"ァ@example.invalid", 1}, // second bytes 0x40 "@" and 0x5C "\"
        {"ソフト@example.invalid", 1},
        {"someone@example.invalid\x83?cc=x", 0}, // a broken pair hides no "?"
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsMailLink(c.text), c.link) << c.text;
    EXPECT_EQ(IsMailLink(L"\uD55C@\uAC40.invalid"), 1) << "low bytes 0x5C and 0x40";
}
