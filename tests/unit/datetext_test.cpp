// The tooltip's date text in its six forms, with the era of each date.
#include <gtest/gtest.h>

#include <string>

#include "clockwin/datetext.h"

namespace {

std::string DateText(int year, int month, int day, int yearMode, int slash)
{
    char text[256];
    memset(text, 'x', sizeof text);
    FormatDateText(text, sizeof text, year, month, day, yearMode, slash);
    return text;
}

struct DateCase {
    int year, month, day, yearMode, slash;
    const char *expected;
};

} // namespace

class DateTextTable : public testing::TestWithParam<DateCase> {};

TEST_P(DateTextTable, Formats)
{
    const DateCase &c = GetParam();
    EXPECT_EQ(DateText(c.year, c.month, c.day, c.yearMode, c.slash), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SixForms, DateTextTable,
    testing::Values(DateCase{1999, 3, 7, 0, 0, "3/7"}, DateCase{1999, 3, 7, 0, 1, "3月7日"},
                    DateCase{1999, 3, 7, 1, 0, "1999/3/7"}, DateCase{1999, 3, 7, 1, 1, "1999年3月7日"},
                    DateCase{1999, 3, 7, 2, 0, "平成11/3/7"}, DateCase{1999, 3, 7, 2, 1, "平成11年3月7日"},
                    // Any non-zero slash picks the unit characters.
                    DateCase{2026, 12, 7, 0, 5, "12月7日"}, DateCase{2026, 12, 7, 1, -1, "2026年12月7日"},
                    // A year form outside 0..2 gives no text at all.
                    DateCase{2026, 12, 7, 3, 0, ""}, DateCase{2026, 12, 7, -1, 1, ""}));

INSTANTIATE_TEST_SUITE_P(
    EraOfTheDate, DateTextTable,
    testing::Values(DateCase{2026, 12, 7, 2, 0, "令和8/12/7"}, DateCase{2019, 5, 1, 2, 0, "令和1/5/1"},
                    DateCase{2019, 4, 30, 2, 0, "平成31/4/30"}, DateCase{1989, 1, 8, 2, 1, "平成1年1月8日"},
                    DateCase{1989, 1, 7, 2, 0, "昭和64/1/7"}, DateCase{1926, 12, 25, 2, 0, "昭和1/12/25"},
                    DateCase{2020, 1, 1, 2, 1, "令和2年1月1日"}));

TEST(DateText, TextsAreShiftJisBytes)
{
    // 令和 is 97 DF 98 61 and 年月日 8C 8E 93 FA in code page 932.
    EXPECT_EQ(DateText(2026, 12, 7, 2, 0), "\x97\xDF\x98\x61" "8/12/7");
    EXPECT_EQ(DateText(1999, 3, 7, 1, 1), "1999\x94\x4E" "3\x8C\x8E" "7\x93\xFA");
}

TEST(DateText, NeverWritesPastTheBuffer)
{
    char small[8];
    memset(small, 'x', sizeof small);
    FormatDateText(small, 6, 2026, 12, 7, 1, 1);
    EXPECT_EQ(std::string(small), "2026\x94");
    EXPECT_EQ(small[6], 'x');
    FormatDateText(small, 1, 2026, 12, 7, 1, 1);
    EXPECT_EQ(small[0], '\0');
}
