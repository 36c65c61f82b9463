// The one file that compiles stb_image_write; its own warnings are not ours.
#include "pngwrite.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

void Append(void *context, void *data, int size)
{
    std::vector<unsigned char> *out = static_cast<std::vector<unsigned char> *>(context);
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<unsigned char> EncodePng(const std::vector<unsigned char> &rgba, int width, int height)
{
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(Append, &png, width, height, 4, rgba.data(), width * 4))
        png.clear();
    return png;
}
