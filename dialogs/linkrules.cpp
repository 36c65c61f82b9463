#include "linkrules.h"

#include <string.h>

// Blanks and control characters end an address on the shell's command line.
static int IsBlankOrControl(unsigned char c)
{
    return c <= ' ' || c == 0x7F;
}

static int StartsWithNoCase(const char *text, const char *prefix)
{
    for (; *prefix; text++, prefix++) {
        char c = *text;
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != *prefix)
            return 0;
    }
    return 1;
}

int IsWebLink(const char *text)
{
    if (!StartsWithNoCase(text, "http://") && !StartsWithNoCase(text, "https://"))
        return 0;
    for (const unsigned char *c = (const unsigned char *)text; *c; c++) {
        if (IsBlankOrControl(*c))
            return 0;
    }
    return 1;
}

int IsMailLink(const char *text)
{
    const char *at = strchr(text, '@');
    if (!at || at == text || !at[1] || strchr(at + 1, '@'))
        return 0;
    for (const unsigned char *c = (const unsigned char *)text; *c; c++) {
        if (IsBlankOrControl(*c) || strchr("?&%\"<>\\;", *c))
            return 0;
    }
    return 1;
}
