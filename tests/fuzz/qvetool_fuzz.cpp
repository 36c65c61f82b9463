// Fuzzes what qvetool does with a stranger's skin file: the reasons it gives
// for a refusal, the warnings, the header fields and options unpack prints,
// the decoded picture and the preview; and, taking the same bytes as a
// picture to pack, pack's check. Runs on the skin check's corpus.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "commands.h"
#include "explain.h"
#include "picture.h"
#include "platform.h"
#include "skinheader.h"

namespace {

volatile size_t gSink;

void Require(bool condition)
{
    if (!condition)
        abort();
}

void Explain(const uint8_t *data, size_t size, size_t base)
{
    SkinLayout layout, plain;
    SkinFault fault;
    const int verdict = ExplainSkinImage(data, size, &layout, &fault);
    Require(verdict == CheckSkinImage(data, size, &plain));
    Require((verdict == SKIN_OK) == (fault.rule == SKIN_RULE_NONE));
    if (verdict != SKIN_OK) {
        Require(fault.offset < SKIN_MIN_IMAGE + 124);
        gSink = gSink + DescribeFault(fault, data, base).size();
        return;
    }
    for (const std::string &warning : SkinWarnings(data, layout))
        gSink = gSink + warning.size();

    std::vector<std::string> differences;
    const PackFields fields = ReadPackFields(data, &differences);
    for (const TextField &field : TextFields) {
        const std::string &text = fields.*field.text;
        Require(text.size() <= SKIN_TEXT_BYTES);
        std::string shown;
        if (SjisToUtf8(text, &shown))
            gSink = gSink + QuoteArgument(shown).size();
        gSink = gSink + ShownText(text).size();
    }

    const Picture picture = DecodeSkinPicture(data, layout);
    Require(picture.width == layout.width && (size_t)picture.width * picture.height == picture.pixels.size());
    FaceTime time;
    time.hour = data[SKIN_HEADER_SIZE - 1] % 24;
    time.minute = data[SKIN_HEADER_SIZE - 2] % 60;
    time.second = data[SKIN_HEADER_SIZE - 3] % 60;
    time.timeSys = data[SKIN_HEADER_SIZE - 4] & 1 ? 12 : 24;
    const std::vector<unsigned char> rgba = PreviewRgba(picture, fields.faceLeft, fields.faceTop, time);
    Require(rgba.size() == picture.pixels.size() * 4);
    for (size_t i = 0; i < picture.pixels.size(); i++)
        Require((rgba[4 * i + 3] == 0) == (picture.pixels[i] == picture.pixels[0]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Explain(data, size, 0);

    // The same bytes as the picture pack is given (a skin's picture part
    // when they are a skin file, so the corpus serves both).
    const size_t skip = size > SKIN_HEADER_SIZE && memcmp(data, "QVE", 3) == 0 ? SKIN_HEADER_SIZE : 0;
    PackFields fields;
    std::vector<unsigned char> image = MakeSkinHeader(fields);
    image.insert(image.end(), data + skip, data + size);
    // Exactly the image, so AddressSanitizer sees any read past it.
    std::vector<unsigned char> exact(image);
    exact.shrink_to_fit();
    Explain(exact.data(), exact.size(), SKIN_FILE_HEADER_OFFSET);
    return 0;
}
