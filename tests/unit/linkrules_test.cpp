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
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsWebLink(c.text), c.link) << c.text;
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
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsMailLink(c.text), c.link) << c.text;
}
