// PNG files of RGBA pixels (top row first), by stb_image_write.
#ifndef TKP_QVETOOL_PNGWRITE_H
#define TKP_QVETOOL_PNGWRITE_H

#include <vector>

// Empty when the encoder fails (it only does when out of memory).
std::vector<unsigned char> EncodePng(const std::vector<unsigned char> &rgba, int width, int height);

#endif
