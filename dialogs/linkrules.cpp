#include "linkrules.h"

#include <stddef.h>

#include <type_traits>

#include "../base/textscan.h"

namespace {

LeadByteRule SkinTextRule(const char *)
{
    return IsShiftJisLeadByte;
}

LeadByteRule SkinTextRule(const wchar_t *)
{
    return NULL;
}

// Blanks and control characters end an address on the shell's command
// line. Looked for unit by unit: none is ever the second byte of a
// Shift-JIS character, so a broken pair ("\x83 ") cannot hide one.
template <typename Char> int HoldsBlankOrControl(const Char *text)
{
    typedef typename std::make_unsigned<Char>::type Unit;
    for (; *text; text++) {
        Unit unit = (Unit)*text;
        if (unit <= ' ' || unit == 0x7F)
            return 1;
    }
    return 0;
}

template <typename Char> int StartsWithNoCase(const Char *text, const char *prefix)
{
    for (; *prefix; text++, prefix++) {
        Char c = *text;
        if (c >= 'A' && c <= 'Z')
            c = (Char)(c - 'A' + 'a');
        if (c != (Char)*prefix)
            return 0;
    }
    return 1;
}

} // namespace

template <typename Char> int IsWebLink(const Char *text)
{
    if (!StartsWithNoCase(text, "http://") && !StartsWithNoCase(text, "https://"))
        return 0;
    return !HoldsBlankOrControl(text);
}

template <typename Char> int IsMailLink(const Char *text)
{
    // "@" and "\" can be the second byte of a character ("ァ" is 0x83 0x40,
    // "ソ" 0x83 0x5C), so these two are looked for by whole characters.
    LeadByteRule rule = SkinTextRule(text);
    const Char *at = FindFirstChar(text, '@', rule);
    if (!at || at == text || !at[1] || FindFirstChar(at + 1, '@', rule) || FindFirstChar(text, '\\', rule))
        return 0;
    // The others lie below 0x40, the lowest second byte: unit by unit, as
    // the blanks.
    return !HoldsBlankOrControl(text) && !FindAnyChar(text, "?&%\"<>;", NULL);
}

template int IsWebLink<char>(const char *);
template int IsWebLink<wchar_t>(const wchar_t *);
template int IsMailLink<char>(const char *);
template int IsMailLink<wchar_t>(const wchar_t *);
