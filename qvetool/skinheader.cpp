#include "skinheader.h"

#include <stddef.h>
#include <string.h>

#include "lebytes.h"
#include "skin.h"

const TextField TextFields[4] = {
    {"--author", "作成者", offsetof(SkinHeaderRecord, author), &PackFields::author},
    {"--name", "データ名", offsetof(SkinHeaderRecord, dataName), &PackFields::dataName},
    {"--home", "ホームページ", offsetof(SkinHeaderRecord, homePage), &PackFields::homePage},
    {"--mail", "メールアドレス", offsetof(SkinHeaderRecord, mailAddress), &PackFields::mailAddress},
};

namespace {

bool AllZero(const unsigned char *bytes, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (bytes[i])
            return false;
    return true;
}

const size_t kHeaderWord = offsetof(SkinHeaderRecord, headerWord);
const size_t kReservedA = offsetof(SkinHeaderRecord, reservedA);
const size_t kFaceLeft = offsetof(SkinHeaderRecord, faceLeft);
const size_t kFaceTop = offsetof(SkinHeaderRecord, faceTop);
const size_t kDockOverlap = offsetof(SkinHeaderRecord, dockOverlap);
const size_t kDockRise = offsetof(SkinHeaderRecord, dockRise);
const size_t kExtraValue = offsetof(SkinHeaderRecord, extraValue);
const size_t kReservedB = offsetof(SkinHeaderRecord, reservedB);

} // namespace

std::vector<unsigned char> MakeSkinHeader(const PackFields &fields)
{
    std::vector<unsigned char> header(sizeof(SkinHeaderRecord), 0);
    memcpy(&header[0], "QVE", 3);
    header[kHeaderWord] = SKIN_HEADER_WORD;
    for (const TextField &field : TextFields) {
        const std::string &text = fields.*field.text;
        memcpy(&header[field.offset], text.data(), text.size() < SKIN_TEXT_BYTES ? text.size() : SKIN_TEXT_BYTES - 1);
    }
    WriteLe32(&header[kFaceLeft], fields.faceLeft);
    WriteLe32(&header[kFaceTop], fields.faceTop);
    WriteLe32(&header[kDockOverlap], fields.dockOverlap);
    WriteLe32(&header[kDockRise], fields.dockRise);
    WriteLe32(&header[kExtraValue], SKIN_EXTRA_VALUE);
    return header;
}

PackFields ReadPackFields(const unsigned char *header, std::vector<std::string> *differences)
{
    PackFields fields;
    for (const TextField &field : TextFields) {
        const unsigned char *text = header + field.offset;
        const void *nul = memchr(text, 0, SKIN_TEXT_BYTES);
        size_t length = nul ? (size_t)((const unsigned char *)nul - text) : SKIN_TEXT_BYTES;
        fields.*field.text = std::string((const char *)text, length);
        if (!nul)
            differences->push_back(std::string(field.label) + "の欄に終わりの NUL がありません (" +
                                   field.option + " は 255 バイトまで)");
        else if (!AllZero(text + length, SKIN_TEXT_BYTES - length))
            differences->push_back(std::string(field.label) + "の欄の NUL より後にバイトがあります");
    }
    fields.faceLeft = ReadLeI32(header + kFaceLeft);
    fields.faceTop = ReadLeI32(header + kFaceTop);
    fields.dockOverlap = ReadLeI32(header + kDockOverlap);
    fields.dockRise = ReadLeI32(header + kDockRise);
    if (header[kHeaderWord] != SKIN_HEADER_WORD || header[kHeaderWord + 1] != 0)
        differences->push_back("オフセット 3 の headerWord が 1 ではありません");
    if (!AllZero(header + kReservedA, 4))
        differences->push_back("オフセット 5 からの予約バイトが 0 ではありません");
    if (ReadLeI32(header + kExtraValue) != SKIN_EXTRA_VALUE)
        differences->push_back("オフセット 1049 の extraValue が 2 ではありません");
    if (!AllZero(header + kReservedB, 24))
        differences->push_back("オフセット 1053 からの予約バイトが 0 ではありません");
    return fields;
}
