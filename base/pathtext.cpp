#include "pathtext.h"

#include <string.h>

// tail := head + "\" + tail (or head alone when tail is empty); 0 when the
// result would not fit in PATH_BUFFER_SIZE bytes.
static int PrependComponent(const char *head, char *tail)
{
    char joined[PATH_BUFFER_SIZE];
    size_t headLength = strlen(head);
    size_t tailLength = strlen(tail);
    if (tailLength == 0) {
        if (headLength >= PATH_BUFFER_SIZE)
            return 0;
        memcpy(tail, head, headLength + 1);
        return 1;
    }
    if (headLength + 1 + tailLength >= PATH_BUFFER_SIZE)
        return 0;
    memcpy(joined, head, headLength);
    joined[headLength] = '\\';
    memcpy(joined + headLength + 1, tail, tailLength + 1);
    memcpy(tail, joined, headLength + 1 + tailLength + 1);
    return 1;
}

int ExpandListedNames(const char *path, char *out, int outSize, ListedNameLookup lookUp, void *context)
{
    char remaining[PATH_BUFFER_SIZE];
    char tail[PATH_BUFFER_SIZE] = "";
    char name[PATH_BUFFER_SIZE];

    const char *end = (const char *)memchr(path, '\0', PATH_BUFFER_SIZE);
    // The folder lookup takes * and ? as wildcards: such a path names no
    // one entry, whatever the folder holds.
    if (!end || strpbrk(path, "*?"))
        return 0;
    memcpy(remaining, path, (size_t)(end - path) + 1);
    int haveName = lookUp(context, remaining, name);
    if (!haveName)
        return 0;

    for (;;) {
        char *lastSlash = strrchr(remaining, '\\');
        if (!lastSlash) {
            if (!PrependComponent(remaining, tail))
                return 0;
            break;
        }
        // A component that lists no entry of its own (the share of a
        // \\server\share path) keeps the text it was typed with.
        if (!PrependComponent(haveName ? name : lastSlash + 1, tail))
            return 0;
        *lastSlash = '\0';
        haveName = lookUp(context, remaining, name);
    }

    size_t length = strlen(tail);
    if (outSize <= 0 || length >= (size_t)outSize)
        return 0;
    memcpy(out, tail, length + 1);
    return 1;
}

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int TakeCommandLinePath(const char *commandLine, char *out, size_t outSize)
{
    const char *start = commandLine;
    while (IsBlank(*start))
        start++;
    const char *end = start + strlen(start);
    while (end > start && IsBlank(end[-1]))
        end--;
    if (end - start >= 2 && start[0] == '"' && end[-1] == '"') {
        start++;
        end--;
    }
    size_t length = (size_t)(end - start);
    if (length == 0 || length >= outSize)
        return 0;
    memcpy(out, start, length);
    out[length] = '\0';
    return 1;
}
