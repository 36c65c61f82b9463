// Path text without the platform: the long-form rewrite behind
// ExpandLongPath, with the folder lookup handed in, and the data file path
// taken from the command line. Char is char (the system's code page, whose
// lead-byte rule is handed in) or wchar_t (the Unicode edition, rule NULL);
// pathtext.cpp instantiates both. No windows.h: compiled and tested natively.
#ifndef TKP_BASE_PATHTEXT_H
#define TKP_BASE_PATHTEXT_H

#include <stddef.h>

#include "textscan.h"

enum { PATH_BUFFER_SIZE = 260 }; // MAX_PATH

// Looks the entry named by path up in its folder. On success writes the
// name under which the folder lists it (NUL-terminated, fewer than
// PATH_BUFFER_SIZE characters) into name and returns 1; returns 0 when
// there is no such entry.
template <typename Char> using ListedNameLookup = int (*)(void *context, const Char *path, Char *name);

// Rewrites every component after the first backslash with the name its
// folder lists it under; the part before the first backslash stays as
// typed. Returns 1 with the result in out when path names an entry and the
// result has fewer than outSize characters. Returns 0 and leaves out
// untouched otherwise: no entry, a path of PATH_BUFFER_SIZE characters or
// more, a wildcard, or an intermediate result that would not fit in
// PATH_BUFFER_SIZE characters. path and out may be the same buffer.
template <typename Char>
int ExpandListedNames(const Char *path, Char *out, int outSize, ListedNameLookup<Char> lookUp, void *context,
                      LeadByteRule rule);

// The one data file path of a command line: surrounding blanks and one pair
// of enclosing double quotes go (the shell quotes a path with a blank in
// it). Returns 1 with the path in out when it is not empty and fits in
// outSize characters, else 0.
template <typename Char>
int TakeCommandLinePath(const Char *commandLine, Char *out, size_t outSize, LeadByteRule rule);

#endif
