#include "textscan.h"

#include <stddef.h>

int IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

namespace {

int IsLeadUnit(char unit, LeadByteRule rule)
{
    return rule && rule((unsigned char)unit);
}

// A UTF-16 unit is never the first half of an ASCII character.
int IsLeadUnit(wchar_t, LeadByteRule)
{
    return 0;
}

template <typename Char> int IsAscii(Char unit, char ascii)
{
    return unit == (Char)(unsigned char)ascii;
}

template <typename Char> int IsInSet(Char unit, const char *set)
{
    for (; *set; set++) {
        if (IsAscii(unit, *set))
            return 1;
    }
    return 0;
}

// The first (or, with last, the final) single-unit character that matches,
// stepping over two-byte characters whole so that their second byte is
// never taken for an ASCII character.
template <typename Char, typename Matches>
const Char *FindMatching(const Char *text, LeadByteRule rule, int last, Matches matches)
{
    const Char *found = NULL;
    while (*text) {
        if (IsLeadUnit(*text, rule)) {
            // A lead byte before the NUL has no second byte to skip.
            if (!text[1])
                break;
            text += 2;
            continue;
        }
        if (matches(*text)) {
            if (!last)
                return text;
            found = text;
        }
        text++;
    }
    return found;
}

} // namespace

template <typename Char> const Char *FindFirstChar(const Char *text, char wanted, LeadByteRule rule)
{
    return FindMatching(text, rule, 0, [wanted](Char unit) { return IsAscii(unit, wanted); });
}

template <typename Char> const Char *FindLastChar(const Char *text, char wanted, LeadByteRule rule)
{
    return FindMatching(text, rule, 1, [wanted](Char unit) { return IsAscii(unit, wanted); });
}

template <typename Char> const Char *FindAnyChar(const Char *text, const char *set, LeadByteRule rule)
{
    return FindMatching(text, rule, 0, [set](Char unit) { return IsInSet(unit, set); });
}

template const char *FindFirstChar<char>(const char *, char, LeadByteRule);
template const wchar_t *FindFirstChar<wchar_t>(const wchar_t *, char, LeadByteRule);
template const char *FindLastChar<char>(const char *, char, LeadByteRule);
template const wchar_t *FindLastChar<wchar_t>(const wchar_t *, char, LeadByteRule);
template const char *FindAnyChar<char>(const char *, const char *, LeadByteRule);
template const wchar_t *FindAnyChar<wchar_t>(const wchar_t *, const char *, LeadByteRule);
