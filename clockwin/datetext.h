// The tooltip's date text, in the six forms the options offer.
#ifndef TKP_CLOCKWIN_DATETEXT_H
#define TKP_CLOCKWIN_DATETEXT_H

#include <stddef.h>

// yearMode 0: no year, 1: western year, 2: Japanese era year; any other
// value leaves the text empty. slash 0: "3/7", else "3月7日".
// Always NUL-terminates out (outSize > 0); returns 1.
int FormatDateText(char *out, size_t outSize, int year, int month, int day, int yearMode, int slash);

#endif
