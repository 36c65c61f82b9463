#include "explain.h"

#include <stdio.h>

#include "dialogs/linkrules.h"
#include "facelayout.h"
#include "picture.h"
#include "platform.h"
#include "runscan.h"
#include "skinheader.h"

namespace {

const char *CompressionName(long long compression)
{
    switch (compression) {
    case 1:
        return "BI_RLE8 (1)";
    case 2:
        return "BI_RLE4 (2)";
    case 4:
        return "BI_JPEG (4)";
    case 5:
        return "BI_PNG (5)";
    case 6:
        return "BI_ALPHABITFIELDS (6)";
    default:
        return NULL;
    }
}

std::string Hex(unsigned char byte)
{
    return Format("\\x%02X", byte);
}

bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

} // namespace

std::string DescribeFault(const SkinFault &fault, const unsigned char *image, size_t base)
{
    const long long at = (long long)fault.offset - (long long)base;
    const long long value = fault.value, limit = fault.limit;
    const long long position = value - (long long)base, end = limit - (long long)base;
    switch (fault.rule) {
    case SKIN_RULE_TOO_SHORT:
        if (base)
            return Format("絵のファイルが %lld バイトしかありません。BMP ファイルヘッダー 14 バイトと "
                          "BITMAPINFOHEADER 40 バイトで、少なくとも 54 バイト要ります。",
                          position);
        return Format("ファイルが %lld バイトしかありません。ヘッダー 1077 バイト、BMP ファイルヘッダー 14 バイト、"
                      "BITMAPINFOHEADER 40 バイトで、少なくとも %lld バイト要ります。",
                      value, limit);
    case SKIN_RULE_BITS_OUTSIDE:
        return Format("オフセット %lld の bfOffBits では画素データがオフセット %lld から始まりますが、"
                      "ファイルは %lld バイトで終わります。",
                      at, position, end);
    case SKIN_RULE_MAGIC:
        return Format("オフセット 0 が \"QVE\" ではありません (%02X %02X %02X)。大文字の QVE で始まるファイルだけを"
                      "時計は読み込みます。",
                      image[0], image[1], image[2]);
    case SKIN_RULE_INFO_TOO_SMALL:
        return Format("オフセット %lld の biSize が %lld です。BITMAPINFOHEADER は %lld バイト以上でなければなりません "
                      "(OS/2 形式の 12 バイトのヘッダーは使えません)。",
                      at, value, limit);
    case SKIN_RULE_INFO_PAST_END:
        return Format("オフセット %lld の biSize ではヘッダーがオフセット %lld まで続きますが、ファイルは %lld "
                      "バイトで終わります。",
                      at, position, end);
    case SKIN_RULE_PROFILE_LINKED:
        return Format("オフセット %lld の bV5CSType がリンクされたカラープロファイル (LINK) です。ほかのファイルを"
                      "開かせることになるので、時計は読み込みません。",
                      at);
    case SKIN_RULE_PROFILE_PAST_END:
        return Format("オフセット %lld の埋め込みカラープロファイルがオフセット %lld まで続きますが、ファイルは "
                      "%lld バイトで終わります。",
                      at, position, end);
    case SKIN_RULE_WIDTH:
        return Format("オフセット %lld の幅 (biWidth) が %lld です。1 から %lld ピクセルまでにしてください。", at, value,
                      limit);
    case SKIN_RULE_HEIGHT:
        return Format("オフセット %lld の高さ (biHeight) が %lld です。1 から %lld 行まで (負の値なら上から下の並び) "
                      "にしてください。",
                      at, value, limit);
    case SKIN_RULE_PLANES:
        return Format("オフセット %lld の biPlanes が %lld です。%lld でなければなりません。", at, value, limit);
    case SKIN_RULE_DEPTH:
        return Format("オフセット %lld の biBitCount が %lld です。1、4、8、16、24、32 ビットのどれかにしてください。",
                      at, value);
    case SKIN_RULE_BITFIELDS_DEPTH:
        return Format("オフセット %lld の biCompression が BI_BITFIELDS (3) ですが、絵は %lld ビットです。"
                      "BI_BITFIELDS は 16 ビットと 32 ビットの絵だけに使えます。",
                      at, value);
    case SKIN_RULE_MASKS_PAST_END:
        return Format("オフセット %lld の biCompression が BI_BITFIELDS (3) ですが、色のマスクがオフセット %lld まで"
                      "続き、ファイルは %lld バイトで終わります。",
                      at, position, end);
    case SKIN_RULE_COMPRESSION: {
        const char *name = CompressionName(value);
        std::string shown = name ? name : Format("%lld", value);
        return Format("オフセット %lld の biCompression が %s です。時計が読み込むのは圧縮しない BI_RGB (0) と、"
                      "16・32 ビットの BI_BITFIELDS (3) だけです。",
                      at, shown.c_str());
    }
    case SKIN_RULE_COLORS_OVER_DEPTH:
        return Format("オフセット %lld の biClrUsed が %lld です。この絵の色数で使える色は %lld までです。", at, value,
                      limit);
    case SKIN_RULE_TOO_MANY_COLORS:
        return Format("オフセット %lld の biClrUsed が %lld です。カラーテーブルは %lld 色までです。", at, value, limit);
    case SKIN_RULE_TABLE_PAST_END:
        return Format("カラーテーブルがオフセット %lld まで続きますが、ファイルは %lld バイトで終わります "
                      "(オフセット %lld の biClrUsed を確かめてください)。",
                      position, end, at);
    case SKIN_RULE_TABLE_INTO_ROWS:
        return Format("カラーテーブルがオフセット %lld まで続き、オフセット %lld の bfOffBits が示す画素データの始まり "
                      "(オフセット %lld) に重なります。",
                      position, at, end);
    case SKIN_RULE_ROWS_OUTSIDE:
        return Format("画素データの最後の行がオフセット %lld で終わるはずですが、ファイルは %lld バイトで終わります "
                      "(オフセット %lld からの幅、高さ、ビット数を確かめてください)。",
                      position, end, at);
    default:
        return "時計はこのファイルを読み込みません。";
    }
}

std::string ShownText(const std::string &sjis)
{
    std::string shown;
    for (size_t i = 0; i < sjis.size();) {
        const unsigned char byte = (unsigned char)sjis[i];
        size_t length = IsLeadByte(byte) && i + 1 < sjis.size() ? 2 : 1;
        std::string piece;
        if (byte < 0x20 || byte == 0x7F || !SjisToUtf8(sjis.substr(i, length), &piece)) {
            shown += Hex(byte);
            i++;
            continue;
        }
        shown += piece;
        i += length;
    }
    return shown;
}

std::string OutlineFault(const unsigned char *image, const SkinLayout &layout)
{
    const Picture picture = DecodeSkinPicture(image, layout);
    std::vector<int> starts((size_t)picture.width / 2 + 1), ends(starts.size());
    size_t runs = 0;
    for (int y = 0; y < picture.height; y++)
        runs += ScanRowRuns(&picture.pixels[(size_t)y * picture.width], picture.width, picture.pixels[0],
                            starts.data(), ends.data());
    if (runs <= MAX_OUTLINE_RUNS)
        return "";
    return Format("絵の輪郭 (各行でキー色 (左上の画素の色) でない画素が続くところごとに長方形 1 つ) が %zu 個の長方形に"
                  "なり、時計が受け付ける %d 個を超えます。時計は「不正なファイル形式です。」と断ります。"
                  "キー色の画素と他の色の画素が細かく入り混じらないようにしてください。",
                  runs, (int)MAX_OUTLINE_RUNS);
}

std::string WhyTheClockRefuses(const unsigned char *image, size_t length, SkinLayout *layout, size_t base)
{
    SkinFault fault;
    if (ExplainSkinImage(image, length, layout, &fault) != SKIN_OK)
        return DescribeFault(fault, image, base);
    return OutlineFault(image, *layout);
}

std::vector<std::string> SkinWarnings(const unsigned char *image, const SkinLayout &layout)
{
    std::vector<std::string> warnings;
    PackFields fields;
    for (const TextField &field : TextFields) {
        char text[SKIN_TEXT_BYTES + 1];
        size_t length = CopySkinText(image + field.offset, text, sizeof text);
        fields.*field.text = std::string(text, length);
        if (length == SKIN_TEXT_BYTES)
            warnings.push_back(Format("%sの欄 (オフセット %zu) が 256 バイトすべて埋まり、終わりの NUL がありません。"
                                      "データのプロパティには 256 バイトすべてが出ます。",
                                      field.label, field.offset));
    }
    if (!fields.homePage.empty() && !IsWebLink(fields.homePage.c_str()))
        warnings.push_back(Format("ホームページ「%s」は http:// か https:// で始まり空白や制御文字を含まないアドレスでは"
                                  "ないので、データのプロパティでリンクになりません。",
                                  ShownText(fields.homePage).c_str()));
    if (!fields.mailAddress.empty() && !IsMailLink(fields.mailAddress.c_str()))
        warnings.push_back(Format("メールアドレス「%s」は @ を 1 つだけ前後に文字を置いて含み、空白、制御文字、"
                                  "? & %% \" < > \\ ; を含まないアドレスではないので、データのプロパティでリンクに"
                                  "なりません。",
                                  ShownText(fields.mailAddress).c_str()));

    std::vector<std::string> ignored;
    const PackFields numbers = ReadPackFields(image, &ignored);
    const long long width = layout.width, height = layout.height < 0 ? -(long long)layout.height : layout.height;
    const long long left = (long long)numbers.faceLeft + FACE_AREA_X, right = left + FACE_AREA_WIDTH - 1;
    const long long top = (long long)numbers.faceTop + FACE_AREA_Y, bottom = top + FACE_AREA_HEIGHT - 1;
    if (left < 0 || top < 0 || right >= width || bottom >= height) {
        const bool seen = right >= 0 && bottom >= 0 && left < width && top < height;
        warnings.push_back(Format("文字盤 (列 %lld〜%lld、行 %lld〜%lld) が %lld × %lld の絵から%s (--face %d,%d)。", left,
                                  right, top, bottom, width, height,
                                  seen ? "はみ出し、一部しか見えません" : "外れ、まったく見えません",
                                  numbers.faceLeft, numbers.faceTop));
    }

    const Picture picture = DecodeSkinPicture(image, layout);
    const size_t keyPixels = CountKeyPixels(picture);
    const uint32_t key = picture.pixels[0];
    const std::string keyName = Format("RGB(%u,%u,%u)", key >> 16, (key >> 8) & 0xFF, key & 0xFF);
    if (keyPixels == picture.pixels.size())
        warnings.push_back(Format("すべての画素がキー色 (左上の画素の色 %s) なので、時計は何も見えず、クリックも"
                                  "できません。",
                                  keyName.c_str()));
    else if (keyPixels == 1)
        warnings.push_back(Format("キー色 (左上の画素の色 %s) の画素は左上の 1 つだけなので、時計はほぼ四角いまま"
                                  "見えます。抜きたい画素は左上と同じ色にしてください。",
                                  keyName.c_str()));
    return warnings;
}
