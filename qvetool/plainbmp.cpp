// Every size, offset and run of a stranger's picture is checked against the
// file before it is used; the plain picture written is sized from numbers
// already checked, at most 4096 x 4096 pixels.
#include "plainbmp.h"

#include "lebytes.h"
#include "textformat.h"

#include <string.h>

namespace {

const uint32_t kFileHeaderSize = 14;
const uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: BITMAPCOREHEADER
const uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
const uint32_t kBiRle8 = 1, kBiRle4 = 2;
const int kMaxSide = 4096;

int Refuse(PlainPicture *plain, const std::string &why)
{
    plain->why = why;
    plain->bmp.clear();
    return PLAIN_REFUSED;
}

uint32_t RowStride(uint32_t width, uint32_t bitCount)
{
    return (uint32_t)((((uint64_t)width * bitCount + 31) / 32) * 4);
}

// The plain picture's file header, 40-byte info header and colour table;
// `table` holds `colors` entries as blue, green, red with `step` bytes each.
std::vector<unsigned char> PlainHead(uint32_t width, uint32_t height, uint32_t bitCount, const unsigned char *table,
                                     uint32_t colors, uint32_t step, uint32_t rowBytes)
{
    const uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * colors;
    std::vector<unsigned char> bmp(offBits, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    WriteLe32(&bmp[2], (int32_t)(offBits + rowBytes));
    WriteLe32(&bmp[10], (int32_t)(offBits));
    unsigned char *info = &bmp[kFileHeaderSize];
    WriteLe32(info, (int32_t)(kInfoHeaderSize));
    WriteLe32(info + 4, (int32_t)(width));
    WriteLe32(info + 8, (int32_t)(height));
    WriteLe16(info + 12, (uint16_t)(1));
    WriteLe16(info + 14, (uint16_t)(bitCount));
    WriteLe32(info + 20, (int32_t)(rowBytes));
    WriteLe32(info + 32, (int32_t)(colors));
    for (uint32_t i = 0; i < colors; i++)
        memcpy(&bmp[kFileHeaderSize + kInfoHeaderSize + 4 * i], table + (size_t)step * i, 3);
    return bmp;
}

int FromOs2(const unsigned char *file, size_t size, PlainPicture *plain)
{
    plain->form = OLD_FORM_OS2;
    const uint32_t headerEnd = kFileHeaderSize + kCoreHeaderSize;
    if (size < headerEnd)
        return Refuse(plain, Format("OS/2 1.x の BMP ヘッダーが途中で切れています (%zu バイト)。", size));
    const uint32_t width = ReadLe16(file + 18), height = ReadLe16(file + 20);
    const uint32_t planes = ReadLe16(file + 22), bitCount = ReadLe16(file + 24);
    if (planes != 1 || (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24))
        return Refuse(plain, Format("OS/2 1.x の絵で面の数が %u、深さが %u ビットです。1 面で 1、4、8、24 ビットの絵だけを"
                                 "変換できます。",
                                 planes, bitCount));
    if (width == 0 || height == 0)
        return Refuse(plain, Format("OS/2 1.x の絵の大きさが %u × %u ピクセルです。", width, height));
    const uint64_t offBits = ReadLe32(file + 10);
    if (offBits < headerEnd || offBits > size)
        return Refuse(plain, Format("画素データのオフセット %llu がヘッダーの中かファイルの外です。",
                                 (unsigned long long)offBits));
    // The table has an entry for every index; writers that saved space left
    // only as many as fit before the rows.
    uint32_t colors = 0;
    if (bitCount <= 8) {
        colors = 1u << bitCount;
        if ((offBits - headerEnd) / 3 < colors)
            colors = (uint32_t)((offBits - headerEnd) / 3);
        if (colors == 0)
            return Refuse(plain, Format("OS/2 1.x の %u ビットの絵に色の表がありません (画素データがオフセット %llu から)。",
                                     bitCount, (unsigned long long)offBits));
    }
    const uint32_t stride = RowStride(width, bitCount);
    const uint64_t rowBytes = (uint64_t)stride * height;
    if (offBits + rowBytes > size)
        return Refuse(plain, Format("画素データの最後の行がオフセット %llu で終わるはずですが、ファイルは %zu バイトで"
                                 "終わります。",
                                 (unsigned long long)(offBits + rowBytes), size));
    plain->bitCount = (uint16_t)bitCount;
    plain->bmp = PlainHead(width, height, bitCount, file + headerEnd, colors, 3, (uint32_t)rowBytes);
    plain->bmp.insert(plain->bmp.end(), file + offBits, file + offBits + rowBytes);
    return PLAIN_CONVERTED;
}

// Packs one index per pixel (bottom row first) into rows of 4 or 8 bits.
std::vector<unsigned char> PackRows(const std::vector<unsigned char> &indices, int width, int height, int bitCount)
{
    const uint32_t stride = RowStride((uint32_t)width, (uint32_t)bitCount);
    std::vector<unsigned char> rows((size_t)stride * height, 0);
    for (int y = 0; y < height; y++) {
        const unsigned char *in = &indices[(size_t)y * width];
        unsigned char *out = &rows[(size_t)y * stride];
        for (int x = 0; x < width; x++) {
            if (bitCount == 8)
                out[x] = in[x];
            else
                out[x / 2] |= (unsigned char)(x % 2 ? in[x] & 0x0F : in[x] << 4);
        }
    }
    return rows;
}

int FromRle(const unsigned char *file, size_t size, uint32_t compression, PlainPicture *plain)
{
    plain->form = compression == kBiRle8 ? OLD_FORM_RLE8 : OLD_FORM_RLE4;
    const char *name = compression == kBiRle8 ? "RLE8" : "RLE4";
    const uint32_t infoSize = ReadLe32(file + kFileHeaderSize);
    if ((uint64_t)kFileHeaderSize + infoSize > size)
        return Refuse(plain, Format("%s の絵のヘッダー (%u バイト) がファイルの外まで続きます。", name, infoSize));
    const unsigned char *info = file + kFileHeaderSize;
    const int32_t width = (int32_t)ReadLe32(info + 4), height = (int32_t)ReadLe32(info + 8);
    const uint32_t bitCount = ReadLe16(info + 14), clrUsed = ReadLe32(info + 32);
    const uint32_t wantedBits = compression == kBiRle8 ? 8 : 4;
    if (bitCount != wantedBits)
        return Refuse(plain, Format("%s の絵は %u ビットのはずですが、%u ビットです。", name, wantedBits, bitCount));
    // Top-down rows (a negative height) cannot be compressed.
    if (width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide)
        return Refuse(plain, Format("%s の絵の大きさが %d × %d ピクセルです。幅も高さも 1 から %d までにしてください "
                                 "(上から並ぶ行は圧縮できません)。",
                                 name, (int)width, (int)height, kMaxSide));
    if (clrUsed > (1u << bitCount))
        return Refuse(plain, Format("%s の絵の色の数 (biClrUsed) が %u で、%u を越えます。", name, clrUsed,
                                 1u << bitCount));
    const uint32_t colors = clrUsed ? clrUsed : 1u << bitCount;
    const uint64_t tableEnd = (uint64_t)kFileHeaderSize + infoSize + 4 * colors;
    const uint64_t offBits = ReadLe32(file + 10);
    if (tableEnd > offBits || offBits >= size)
        return Refuse(plain, Format("%s の絵の色の表がオフセット %llu まで、圧縮された画素がオフセット %llu からで、"
                                 "ファイルは %zu バイトです。",
                                 name, (unsigned long long)tableEnd, (unsigned long long)offBits, size));

    std::vector<unsigned char> indices;
    std::string why;
    if (!DecodeRle(file + offBits, size - offBits, offBits, (int)bitCount, width, height, &indices, &plain->skipped,
                   &why))
        return Refuse(plain, std::string(name) + " の圧縮された画素が壊れています: " + why);
    const std::vector<unsigned char> rows = PackRows(indices, width, height, (int)bitCount);
    plain->bitCount = (uint16_t)bitCount;
    plain->bmp = PlainHead((uint32_t)width, (uint32_t)height, bitCount, info + infoSize, colors, 4,
                           (uint32_t)rows.size());
    // The resolution as the original gives it.
    memcpy(&plain->bmp[kFileHeaderSize + 24], info + 24, 8);
    plain->bmp.insert(plain->bmp.end(), rows.begin(), rows.end());
    return PLAIN_CONVERTED;
}

} // namespace

int DecodeRle(const unsigned char *stream, size_t length, size_t base, int bitCount, int width, int height,
              std::vector<unsigned char> *indices, size_t *skipped, std::string *why)
{
    indices->assign((size_t)width * height, 0);
    size_t at = 0, written = 0;
    int x = 0, y = 0;
    // Moves never go back, so no pixel is set twice: those never set are
    // the total less those written.
    for (;;) {
        if (length - at < 2) {
            *why = Format("オフセット %zu で終わりの印 (00 01) の前にデータが尽きました。", base + length);
            return 0;
        }
        const unsigned count = stream[at], value = stream[at + 1];
        const size_t code = base + at;
        at += 2;
        if (count > 0 || value >= 3) {
            // A run of one index (or, for RLE4, two taking turns), or that
            // many indices written out, padded to a 16-bit boundary.
            const bool literal = count == 0;
            const unsigned pixels = literal ? value : count;
            if (y >= height) {
                *why = Format("オフセット %zu の %u ピクセルが絵の上を越えます。", code, pixels);
                return 0;
            }
            if ((unsigned)(width - x) < pixels) {
                *why = Format("オフセット %zu の %u ピクセルが %d 列目から行の終わり (幅 %d) を越えます。", code, pixels,
                           x, width);
                return 0;
            }
            size_t bytes = 0;
            if (literal) {
                bytes = bitCount == 8 ? pixels : (pixels + 1) / 2;
                bytes += bytes % 2;
                if (length - at < bytes) {
                    *why = Format("オフセット %zu の %u ピクセルがデータの終わりを越えます。", code, pixels);
                    return 0;
                }
            }
            unsigned char *out = &(*indices)[(size_t)y * width + x];
            for (unsigned i = 0; i < pixels; i++) {
                const unsigned source = literal ? stream[at + (bitCount == 8 ? i : i / 2)] : value;
                out[i] = (unsigned char)(bitCount == 8 ? source : i % 2 ? source & 0x0F : source >> 4);
            }
            at += bytes;
            x += (int)pixels;
            written += pixels;
        } else if (value == 0) { // end of the row
            if (y >= height) {
                *why = Format("オフセット %zu の行の終わりが絵の上を越えます。", code);
                return 0;
            }
            x = 0;
            y++;
        } else if (value == 1) { // end of the picture
            break;
        } else { // a move right and up
            if (length - at < 2) {
                *why = Format("オフセット %zu の移動 (00 02) の途中でデータが尽きました。", code);
                return 0;
            }
            const int right = stream[at], up = stream[at + 1];
            at += 2;
            if (x + right > width || y + up >= height) {
                *why = Format("オフセット %zu の移動 (右へ %d、上へ %d) が絵の外に出ます。", code, right, up);
                return 0;
            }
            x += right;
            y += up;
        }
    }
    *skipped = (size_t)width * height - written;
    return 1;
}

int MakePlainBmp(const unsigned char *file, size_t size, PlainPicture *plain)
{
    plain->form = OLD_FORM_NONE;
    plain->skipped = 0;
    plain->why.clear();
    plain->bmp.clear();
    if (size < kFileHeaderSize + 4)
        return PLAIN_NOT_NEEDED;
    const uint32_t infoSize = ReadLe32(file + kFileHeaderSize);
    if (infoSize == kCoreHeaderSize)
        return FromOs2(file, size, plain);
    if (infoSize < kInfoHeaderSize || size < kFileHeaderSize + kInfoHeaderSize)
        return PLAIN_NOT_NEEDED;
    const uint32_t compression = ReadLe32(file + kFileHeaderSize + 16);
    if (compression == kBiRle8 || compression == kBiRle4)
        return FromRle(file, size, compression, plain);
    return PLAIN_NOT_NEEDED;
}

std::string ConversionNote(const PlainPicture &plain)
{
    static const char *const names[] = {"", "RLE8 で圧縮された", "RLE4 で圧縮された", "OS/2 1.x の"};
    if (plain.form == OLD_FORM_NONE || plain.bmp.empty())
        return "";
    std::string note = Format("%s絵を、時計が読み込める非圧縮の %u ビットの絵にしました。", names[plain.form],
                           (unsigned)plain.bitCount);
    if (plain.skipped)
        note += Format("圧縮で飛ばされていた %zu ピクセルは色番号 0 の色になります。", plain.skipped);
    return note;
}
