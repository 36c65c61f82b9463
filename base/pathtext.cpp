#include "pathtext.h"

#include <string>

namespace {

// tail := head + "\" + tail (or head alone when tail is empty); 0 when the
// result would not fit in PATH_BUFFER_SIZE characters.
template <typename Char> int PrependComponent(const Char *head, Char *tail)
{
    typedef std::char_traits<Char> Text;
    Char joined[PATH_BUFFER_SIZE];
    size_t headLength = Text::length(head);
    size_t tailLength = Text::length(tail);
    if (tailLength == 0) {
        if (headLength >= PATH_BUFFER_SIZE)
            return 0;
        Text::copy(tail, head, headLength + 1);
        return 1;
    }
    if (headLength + 1 + tailLength >= PATH_BUFFER_SIZE)
        return 0;
    Text::copy(joined, head, headLength);
    joined[headLength] = '\\';
    Text::copy(joined + headLength + 1, tail, tailLength + 1);
    Text::copy(tail, joined, headLength + 1 + tailLength + 1);
    return 1;
}

template <typename Char> int IsBlank(Char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

template <typename Char>
int ExpandListedNames(const Char *path, Char *out, int outSize, ListedNameLookup<Char> lookUp, void *context,
                      LeadByteRule rule)
{
    typedef std::char_traits<Char> Text;
    Char remaining[PATH_BUFFER_SIZE];
    Char tail[PATH_BUFFER_SIZE] = {0};
    Char name[PATH_BUFFER_SIZE];

    const Char *end = Text::find(path, PATH_BUFFER_SIZE, Char(0));
    // The folder lookup takes * and ? as wildcards: such a path names no
    // one entry, whatever the folder holds.
    if (!end || FindAnyChar(path, "*?", rule))
        return 0;
    Text::copy(remaining, path, (size_t)(end - path) + 1);
    int haveName = lookUp(context, remaining, name);
    if (!haveName)
        return 0;

    for (;;) {
        // By whole characters: the second byte of "ソ" is a backslash too.
        const Char *found = FindLastChar(remaining, '\\', rule);
        if (!found) {
            if (!PrependComponent(remaining, tail))
                return 0;
            break;
        }
        Char *lastSlash = remaining + (found - remaining);
        // A component that lists no entry of its own (the share of a
        // \\server\share path) keeps the text it was typed with.
        if (!PrependComponent(haveName ? name : lastSlash + 1, tail))
            return 0;
        *lastSlash = '\0';
        haveName = lookUp(context, remaining, name);
    }

    size_t length = Text::length(tail);
    if (outSize <= 0 || length >= (size_t)outSize)
        return 0;
    Text::copy(out, tail, length + 1);
    return 1;
}

template <typename Char>
int TakeCommandLinePath(const Char *commandLine, Char *out, size_t outSize, LeadByteRule rule)
{
    const Char *start = commandLine;
    while (IsBlank(*start))
        start++;
    // The path ends where a run of blanks reaches the end of the line. A
    // blank is a character of its own, so each search resumes on a
    // character's first byte.
    const Char *end = start + std::char_traits<Char>::length(start);
    for (const Char *blank = FindAnyChar(start, " \t", rule); blank;) {
        const Char *after = blank;
        while (IsBlank(*after))
            after++;
        if (!*after) {
            end = blank;
            break;
        }
        blank = FindAnyChar(after, " \t", rule);
    }
    // The closing quote must be a character of its own, not the second
    // byte of one; only blanks follow it, so the last quote is the one.
    const Char *lastQuote = FindLastChar(start, '"', rule);
    if (*start == '"' && lastQuote && lastQuote > start && lastQuote == end - 1) {
        start++;
        end--;
    }
    size_t length = (size_t)(end - start);
    if (length == 0 || length >= outSize)
        return 0;
    std::char_traits<Char>::copy(out, start, length);
    out[length] = '\0';
    return 1;
}

template int ExpandListedNames<char>(const char *, char *, int, ListedNameLookup<char>, void *, LeadByteRule);
template int ExpandListedNames<wchar_t>(const wchar_t *, wchar_t *, int, ListedNameLookup<wchar_t>, void *,
                                        LeadByteRule);
template int TakeCommandLinePath<char>(const char *, char *, size_t, LeadByteRule);
template int TakeCommandLinePath<wchar_t>(const wchar_t *, wchar_t *, size_t, LeadByteRule);
