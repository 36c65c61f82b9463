// The older forms of a BMP picture that Windows still shows and older paint
// programs still write, but that the clock's loader refuses: rows compressed
// as RLE8 or RLE4, and the OS/2 1.x header of 12 bytes. pack turns them into
// the plain form the clock loads. No windows.h: compiled natively and fuzzed.
#ifndef TKP_QVETOOL_PLAINBMP_H
#define TKP_QVETOOL_PLAINBMP_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

enum PlainResult {
    PLAIN_NOT_NEEDED = 0, // none of the older forms: the picture stands as it is
    PLAIN_CONVERTED,
    PLAIN_REFUSED         // one of them, but broken: *why says how
};

enum OldForm { OLD_FORM_NONE = 0, OLD_FORM_RLE8, OLD_FORM_RLE4, OLD_FORM_OS2 };

struct PlainPicture {
    int form = OLD_FORM_NONE;
    uint16_t bitCount = 0; // of the plain picture
    size_t skipped = 0;    // pixels an RLE stream never set; colour index 0 now
    std::string why;       // on PLAIN_REFUSED, in words for the user (UTF-8)
    std::vector<unsigned char> bmp; // on PLAIN_CONVERTED, the whole BMP file
};

// Looks at a BMP file and converts it when it is one of the older forms.
int MakePlainBmp(const unsigned char *file, size_t size, PlainPicture *plain);

// What was converted, in one line for the user (UTF-8), or "" when nothing.
std::string ConversionNote(const PlainPicture &plain);

// Decodes an RLE8 (bitCount 8) or RLE4 (bitCount 4) stream into one colour
// index per pixel, bottom row first. Every run, literal and move is checked
// against the picture's bounds and the stream's end. `base` is the stream's
// file offset, for *why. Returns 1, or 0 with *why set.
int DecodeRle(const unsigned char *stream, size_t length, size_t base, int bitCount, int width, int height,
              std::vector<unsigned char> *indices, size_t *skipped, std::string *why);

#endif
