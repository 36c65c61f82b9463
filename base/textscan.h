// Text scanned one character at a time, not one byte at a time: in a
// double-byte code page (Shift-JIS, GBK, Big5, UHC) the second byte of a
// character can be a backslash, "|", "@" or a letter, so a byte-wise search
// finds a folder separator inside "ソ" (0x83 0x5C). No windows.h: compiled
// and tested natively; the Win32 side hands in the system's rule.
#ifndef TKP_BASE_TEXTSCAN_H
#define TKP_BASE_TEXTSCAN_H

// 1 when byte opens a two-byte character in the text's code page. A null
// rule means no byte does: single-byte code pages, and UTF-16 text, whose
// units never hide an ASCII character.
typedef int (*LeadByteRule)(unsigned char byte);

// Code page 932's rule. Skin texts are Shift-JIS whatever the system's code
// page, and the tests use it for the Japanese system's paths.
int IsShiftJisLeadByte(unsigned char byte);

// The first or the last whole character of text equal to wanted (an ASCII
// character), or NULL. A lead byte right before the terminating NUL is
// taken as a broken character that ends the text.
template <typename Char> const Char *FindFirstChar(const Char *text, char wanted, LeadByteRule rule);
template <typename Char> const Char *FindLastChar(const Char *text, char wanted, LeadByteRule rule);
// The first whole character that is one of the ASCII characters of set, or NULL.
template <typename Char> const Char *FindAnyChar(const Char *text, const char *set, LeadByteRule rule);

// Char is char (the code page's bytes) or wchar_t (UTF-16 on Windows);
// textscan.cpp instantiates both.

#endif
