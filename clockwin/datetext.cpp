#include "datetext.h"

#include <string.h>

struct Era {
    int firstYear, firstMonth, firstDay; // the era's first day
    const char *name;
};

// Newest first; a date before every listed start counts to the oldest.
static const Era Eras[] = {
    {2019, 5, 1, "令和"},
    {1989, 1, 8, "平成"},
    {1926, 12, 25, "昭和"},
};

static const Era *EraOf(int year, int month, int day)
{
    const int count = (int)(sizeof Eras / sizeof Eras[0]);
    for (int i = 0; i < count - 1; i++) {
        const Era *era = &Eras[i];
        long date = (long)year * 10000 + month * 100 + day;
        long start = (long)era->firstYear * 10000 + era->firstMonth * 100 + era->firstDay;
        if (date >= start)
            return era;
    }
    return &Eras[count - 1];
}

// Appends to a NUL-terminated text without passing its capacity.
struct TextSink {
    char *text;
    size_t capacity;
    size_t length;
};

static void AppendText(TextSink *sink, const char *piece)
{
    while (*piece && sink->length + 1 < sink->capacity)
        sink->text[sink->length++] = *piece++;
    sink->text[sink->length] = '\0';
}

static void AppendNumber(TextSink *sink, int value)
{
    char digits[12];
    int at = (int)sizeof digits - 1;
    digits[at] = '\0';
    unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
    do {
        digits[--at] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        digits[--at] = '-';
    AppendText(sink, digits + at);
}

int FormatDateText(char *out, size_t outSize, int year, int month, int day, int yearMode, int slash)
{
    if (outSize == 0)
        return 1;
    TextSink sink = {out, outSize, 0};
    out[0] = '\0';
    if (yearMode < 0 || yearMode > 2)
        return 1;
    if (yearMode == 2) {
        const Era *era = EraOf(year, month, day);
        AppendText(&sink, era->name);
        year = year - era->firstYear + 1;
    }
    if (yearMode != 0) {
        AppendNumber(&sink, year);
        AppendText(&sink, slash ? "年" : "/");
    }
    AppendNumber(&sink, month);
    AppendText(&sink, slash ? "月" : "/");
    AppendNumber(&sink, day);
    if (slash)
        AppendText(&sink, "日");
    return 1;
}
