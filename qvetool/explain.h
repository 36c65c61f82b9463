// What `check` tells a skin's author: why the clock refuses a file, and
// what in an accepted one will not look or work as meant.
#ifndef TKP_QVETOOL_EXPLAIN_H
#define TKP_QVETOOL_EXPLAIN_H

#include <stddef.h>

#include <string>
#include <vector>

#include "skinformat.h"
#include "textformat.h"

// The broken rule in words, with the offset and the values. Offsets and
// sizes are told less `base`: 0 for a skin file, 1077 for a bare picture
// about to be packed.
std::string DescribeFault(const SkinFault &fault, const unsigned char *image, size_t base);

// The clock's one rule past the file check: the outline (a rectangle for
// each run of pixels of another colour than the key in a row) may have at
// most MAX_OUTLINE_RUNS rectangles. "" when the picture keeps to it.
std::string OutlineFault(const unsigned char *image, const SkinLayout &layout);

// Why the clock refuses a whole skin image, in words (the file check's
// fault, told less `base`, or the outline's): "" when it loads it, and
// *layout is then filled.
std::string WhyTheClockRefuses(const unsigned char *image, size_t length, SkinLayout *layout, size_t base);

// Warnings about an image the clock accepts (one sentence each).
std::vector<std::string> SkinWarnings(const unsigned char *image, const SkinLayout &layout);

// A skin text (Shift-JIS) as UTF-8 for the screen; bytes that are not
// Shift-JIS and control characters are shown as \xHH.
std::string ShownText(const std::string &sjis);

#endif
