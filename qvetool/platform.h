// What qvetool needs from the system it runs on: texts between the command
// line's encoding and Shift-JIS, whole files, and the local time. Paths and
// texts of the command line are UTF-8 here on every system; the Windows entry
// point converts from the system's wide command line first.
#ifndef TKP_QVETOOL_PLATFORM_H
#define TKP_QVETOOL_PLATFORM_H

#include <stddef.h>

#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

enum TextResult {
    TEXT_OK = 0,
    TEXT_NOT_UTF8,      // the input is not valid UTF-8
    TEXT_NOT_SJIS,      // a character Shift-JIS cannot hold
};

// UTF-8 to Shift-JIS (code page 932). On TEXT_NOT_SJIS, *bad is the
// offending character (UTF-8).
int Utf8ToSjis(const std::string &utf8, std::string *sjis, std::string *bad);
// Shift-JIS to UTF-8; 0 when the bytes are not Shift-JIS.
int SjisToUtf8(const std::string &sjis, std::string *utf8);

// Reads a whole file of at most `limit` bytes. On failure *why says why in
// words for the user.
int ReadWholeFile(const std::string &path, size_t limit, Bytes *bytes, std::string *why);
int FileExists(const std::string &path);
// Writes a whole file or nothing: a temporary beside the target, renamed
// over it at the end. An existing target is replaced only when `replace` is
// set; *exists tells the caller that it stood in the way.
int WriteWholeFile(const std::string &path, const Bytes &bytes, int replace, int *exists, std::string *why);

void LocalTimeNow(int *hour, int *minute, int *second);

#ifdef _WIN32
// The command line after the program's name, as UTF-8.
std::vector<std::string> Utf8Arguments();
// Prints UTF-8 text on the console, or in its code page when redirected.
void WriteConsoleText(int toError, const std::string &utf8);
#endif

#endif
