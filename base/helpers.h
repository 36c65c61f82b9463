// Small window and path helpers used all over the program.
#ifndef TKP_BASE_HELPERS_H
#define TKP_BASE_HELPERS_H

#include <windows.h>

#include "textscan.h"

// outSize and every path buffer here count characters (TCHAR): bytes of the
// system's code page in the ANSI edition, UTF-16 units in the Unicode one.
int ExpandLongPath(const TCHAR *path, TCHAR *out, int outSize);
BOOL CenterWindow(HWND window, HWND reference);
HICON LoadSmallIcon(HINSTANCE instance, const TCHAR *name);
// The system's help viewer, winhlp32.exe in the Windows folder, into path
// (MAX_PATH characters): 1 when its path fits, whether the file is there or not.
int HelpViewerPath(TCHAR *path);
// The folder of the program's own file, with its final backslash, into
// folder (MAX_PATH characters); an empty text when the system cannot tell.
void ProgramFolder(HINSTANCE instance, TCHAR *folder);

// The lead-byte rule of the program's own strings: the system code page's
// in the ANSI edition, none in the Unicode one.
LeadByteRule SystemLeadByteRule(void);

// Shift-JIS text of at most 511 bytes (a skin's credits, the date tip) as
// the program's own string: copied as it is in the ANSI edition (a Japanese
// system's code page), decoded from code page 932 in the Unicode one,
// whatever the system's. Always NUL-terminated when outSize > 0; cut to fit.
void TextFromShiftJis(const char *text, TCHAR *out, int outSize);

// Every box the program shows goes through these two. An error, with the
// program's caption for problems:
void ShowProblem(HWND owner, const TCHAR *text);
// A notice, which is no error:
void ShowNotice(HWND owner, const TCHAR *text, const TCHAR *caption);

#endif
