// Fuzzes pack's conversion of the older picture forms (RLE8, RLE4, OS/2
// 1.x) with a stranger's bytes: whatever it writes must be a plain picture
// that the clock's own check accepts, of the size its header says. Runs on
// the skin check's corpus, taking a skin's picture part as the picture.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "plainbmp.h"
#include "skinformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const size_t skip = size > SKIN_HEADER_SIZE && memcmp(data, "QVE", 3) == 0 ? SKIN_HEADER_SIZE : 0;
    // Exactly the picture, so AddressSanitizer sees any read past it.
    const std::vector<unsigned char> picture(data + skip, data + size);
    PlainPicture plain;
    const int result = MakePlainBmp(picture.data(), picture.size(), &plain);
    if (result == PLAIN_REFUSED && (plain.why.empty() || !plain.bmp.empty()))
        abort();
    if (result != PLAIN_CONVERTED)
        return 0;

    std::vector<unsigned char> image(SKIN_HEADER_SIZE, 0);
    memcpy(image.data(), "QVE", 3);
    image.insert(image.end(), plain.bmp.begin(), plain.bmp.end());
    SkinLayout layout;
    const int verdict = CheckSkinImage(image.data(), image.size(), &layout);
    // OS/2 1.x sides go up to 65535: the clock's limit of 4096 refuses those.
    if (verdict == SKIN_BAD_DIMENSIONS && plain.form == OLD_FORM_OS2)
        return 0;
    if (verdict != SKIN_OK || layout.bitCount != plain.bitCount || layout.compression != 0 ||
        layout.bitsOffset + layout.bitsSize != image.size() ||
        plain.skipped > (size_t)layout.width * (size_t)layout.height)
        abort();
    return 0;
}
