// Decoding follows what the system does when it turns a skin's DIB into the
// clock's bitmap on a display of 24 or 32 bits: palette entries as they
// stand (black for an index past a short table), 16-bit channels widened by
// repeating their top bits, masks read from offset 40 of the BITMAPINFO.
#include "picture.h"

#include <string.h>

#include "facelayout.h"
#include "facepictures.h"
#include "lebytes.h"

namespace {

// One channel of a bitfield mask, widened to 8 bits.
struct Channel {
    int shift = 0, length = 0;
    explicit Channel(uint32_t mask)
    {
        if (!mask)
            return;
        while (!(mask & 1)) {
            mask >>= 1;
            shift++;
        }
        while (mask & 1) {
            mask >>= 1;
            length++;
        }
    }
    uint32_t widen(uint32_t pixel) const
    {
        static const uint32_t topBits[9] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
        int len = length > 8 ? 8 : length;
        int move = shift + length - 8;
        uint32_t field = move < 0 ? pixel << -move : pixel >> move;
        field &= topBits[len];
        return (field | (field >> len)) & 0xFF;
    }
};

} // namespace

Picture DecodeSkinPicture(const unsigned char *image, const SkinLayout &layout)
{
    Picture picture;
    picture.width = layout.width;
    picture.height = layout.height < 0 ? -layout.height : layout.height;
    picture.pixels.assign((size_t)picture.width * picture.height, 0);

    const unsigned char *info = image + layout.infoOffset;
    const unsigned char *table = info + layout.infoSize - (size_t)layout.colorCount * 4;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (layout.bitCount == 32)
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    if (layout.compression == 3)
        for (int i = 0; i < 3; i++)
            masks[i] = ReadLe32(info + 40 + 4 * i);
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);

    const size_t stride = layout.bitsSize / (size_t)picture.height;
    for (int y = 0; y < picture.height; y++) {
        const int fileRow = layout.height < 0 ? y : picture.height - 1 - y;
        const unsigned char *row = image + layout.bitsOffset + (size_t)fileRow * stride;
        uint32_t *out = &picture.pixels[(size_t)y * picture.width];
        for (int x = 0; x < picture.width; x++) {
            uint32_t colour = 0;
            switch (layout.bitCount) {
            case 1:
            case 4:
            case 8: {
                const size_t bit = (size_t)x * layout.bitCount;
                const uint32_t index = (row[bit / 8] >> (8 - layout.bitCount - bit % 8)) & ((1u << layout.bitCount) - 1);
                if (index < layout.colorCount) {
                    const unsigned char *quad = table + 4 * index;
                    colour = ((uint32_t)quad[2] << 16) | ((uint32_t)quad[1] << 8) | quad[0];
                }
                break;
            }
            case 16:
            case 32: {
                const uint32_t value = layout.bitCount == 16 ? ReadLe16(row + 2 * x) : ReadLe32(row + 4 * x);
                colour = (red.widen(value) << 16) | (green.widen(value) << 8) | blue.widen(value);
                break;
            }
            case 24:
                colour = ((uint32_t)row[3 * x + 2] << 16) | ((uint32_t)row[3 * x + 1] << 8) | row[3 * x];
                break;
            }
            out[x] = colour;
        }
    }
    return picture;
}

namespace {

// The face pictures of the program, decoded once.
const Picture &FacePicture(int which)
{
    static Picture pictures[FACE_PICTURE_COUNT];
    static bool decoded;
    if (!decoded) {
        for (int i = 0; i < FACE_PICTURE_COUNT; i++) {
            // Our own BMP files, checked like any skin's picture all the same.
            const FacePictureFile &file = FacePictureFiles[i];
            std::vector<unsigned char> image(SKIN_HEADER_SIZE, 0);
            memcpy(image.data(), "QVE", 3);
            image.insert(image.end(), file.bytes, file.bytes + file.size);
            SkinLayout layout;
            if (CheckSkinImage(image.data(), image.size(), &layout) == SKIN_OK)
                pictures[i] = DecodeSkinPicture(image.data(), layout);
        }
        decoded = true;
    }
    return pictures[which];
}

// Lays a face picture on the skin at (x, y): white shows the skin through.
void Lay(Picture *target, int which, int x, int y)
{
    const Picture &piece = FacePicture(which);
    for (int py = 0; py < piece.height; py++) {
        const long long ty = (long long)y + py;
        if (ty < 0 || ty >= target->height)
            continue;
        for (int px = 0; px < piece.width; px++) {
            const long long tx = (long long)x + px;
            const uint32_t colour = piece.at(px, py);
            if (tx >= 0 && tx < target->width && colour != 0xFFFFFF)
                target->pixels[(size_t)ty * target->width + (size_t)tx] = colour;
        }
    }
}

} // namespace

void DrawFace(Picture *picture, int faceLeft, int faceTop, const FaceTime &time)
{
    FacePiece pieces[FACE_MOST_PIECES];
    const int count = LayOutFace(time.hour, time.minute, time.second, time.timeSys, faceLeft, faceTop, pieces);
    for (int i = 0; i < count; i++)
        Lay(picture, pieces[i].picture, pieces[i].x, pieces[i].y);
}

std::vector<unsigned char> PreviewRgba(const Picture &skin, int faceLeft, int faceTop, const FaceTime &time)
{
    Picture face = skin;
    DrawFace(&face, faceLeft, faceTop, time);
    // The outline comes from the picture alone; the face does not change it.
    const uint32_t key = skin.pixels.empty() ? 0 : skin.pixels[0];
    std::vector<unsigned char> rgba(face.pixels.size() * 4);
    for (size_t i = 0; i < face.pixels.size(); i++) {
        const uint32_t colour = face.pixels[i];
        rgba[4 * i] = (unsigned char)(colour >> 16);
        rgba[4 * i + 1] = (unsigned char)(colour >> 8);
        rgba[4 * i + 2] = (unsigned char)colour;
        rgba[4 * i + 3] = skin.pixels[i] == key ? 0 : 255;
    }
    return rgba;
}

size_t CountKeyPixels(const Picture &picture)
{
    size_t count = 0;
    for (uint32_t colour : picture.pixels)
        count += colour == picture.pixels[0];
    return count;
}
