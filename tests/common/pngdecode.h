// Reads the PNG files qvetool writes, with Debian's stb_image (header-only;
// the including program builds it, once). No windows.h: the native and the
// Win32 tests share it.
#ifndef TKP_TESTS_COMMON_PNGDECODE_H
#define TKP_TESTS_COMMON_PNGDECODE_H

#include <stdint.h>

#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include "stb_image.h"
#pragma GCC diagnostic pop

struct Png {
    int width = 0, height = 0;
    std::vector<uint32_t> argb; // 0xAARRGGBB, top row first; empty when unreadable
    uint32_t at(int x, int y) const { return argb[(size_t)y * width + x]; }
};

inline Png DecodePng(const std::vector<unsigned char> &file)
{
    Png png;
    int channels;
    unsigned char *pixels = stbi_load_from_memory(file.data(), (int)file.size(), &png.width, &png.height, &channels, 4);
    if (!pixels)
        return png;
    for (int i = 0; i < png.width * png.height; i++)
        png.argb.push_back((uint32_t)pixels[4 * i + 3] << 24 | (uint32_t)pixels[4 * i] << 16 |
                           (uint32_t)pixels[4 * i + 1] << 8 | pixels[4 * i + 2]);
    stbi_image_free(pixels);
    return png;
}

#endif
