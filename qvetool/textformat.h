// printf into a std::string, for qvetool's messages.
#ifndef TKP_QVETOOL_TEXTFORMAT_H
#define TKP_QVETOOL_TEXTFORMAT_H

#include <string>

// The Windows builds use mingw's own C99 printf for it.
#ifdef _WIN32
std::string Format(const char *format, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
#endif

#endif
