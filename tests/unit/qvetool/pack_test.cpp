// pack and unpack: the header pack writes, what it refuses, and pack after
// unpack giving the same bytes.
#include <gtest/gtest.h>
#include <string.h>

#include "picture.h"
#include "qvetoolkit.h"

using namespace skintest;

namespace {

// A POSIX shell's reading of unpack's option line: words, single quotes.
std::vector<std::string> ShellWords(const std::string &line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size(); i++) {
        char c = line[i];
        if (quoted) {
            if (c == '\'')
                quoted = false;
            else
                word += c;
        } else if (c == '\'') {
            quoted = inWord = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (c == ' ' || c == '\n') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

SkinRecipe SmallPicture()
{
    SkinRecipe recipe;
    recipe.width = 100;
    recipe.height = 30;
    return recipe;
}

TEST(QvetoolPack, WritesTheHeaderAndThePictureAsTheClockReadsThem)
{
    Scratch scratch;
    const Bytes picture = PictureOf(BuildSkin(SmallPicture()));
    scratch.write("in.bmp", picture);
    ToolRun run = Qvetool({"pack", scratch.path("in.bmp"), "-o", scratch.path("out.qve"), "--author", "時刻 太郎",
                           "--name", "ﾃﾞｰﾀ", "--home", "https://example.invalid/", "--mail", "a@example.invalid",
                           "--face", "-3,7", "--dock", "60,-40"});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("警告: 文字盤")) << "the check's warnings are told: " << run.err;
    const Bytes skin = scratch.read("out.qve");
    ASSERT_EQ(1077 + picture.size(), skin.size());
    EXPECT_EQ(0, memcmp(skin.data(), "QVE\x01\x00\x00\x00\x00\x00", 9));
    // Shift-JIS in the file: 時刻 is 8E 9E 8D 8F, ﾃﾞｰﾀ four single bytes.
    EXPECT_EQ(0, memcmp(&skin[kAuthor], "\x8E\x9E\x8D\x8F\x20\x91\xBE\x98\x59\0", 10));
    EXPECT_EQ(0, memcmp(&skin[kDataName], "\xC3\xDE\xB0\xC0\0", 5));
    EXPECT_EQ(0, strcmp((const char *)&skin[kHomePage], "https://example.invalid/"));
    EXPECT_EQ(0, strcmp((const char *)&skin[kMailAddress], "a@example.invalid"));
    EXPECT_EQ((uint32_t)-3, Peek32(skin, kFaceLeft));
    EXPECT_EQ(7u, Peek32(skin, kFaceTop));
    EXPECT_EQ(60u, Peek32(skin, kDockOverlap));
    EXPECT_EQ((uint32_t)-40, Peek32(skin, kDockRise));
    EXPECT_EQ(2u, Peek32(skin, kExtraValue));
    for (size_t at = 1053; at < 1077; at++)
        ASSERT_EQ(0, skin[at]) << "reserved byte " << at;
    for (size_t at = kAuthor + 10; at < kDataName; at++)
        ASSERT_EQ(0, skin[at]) << "after the author's NUL, byte " << at;
    EXPECT_TRUE(Bytes(skin.begin() + 1077, skin.end()) == picture);

    // Without options: the built-in skin's numbers and no texts.
    ASSERT_EQ(0, Qvetool({"pack", scratch.path("in.bmp"), "-o", scratch.path("plain.qve")}).code);
    const Bytes plain = scratch.read("plain.qve");
    EXPECT_EQ(5u, Peek32(plain, kFaceLeft));
    EXPECT_EQ(11u, Peek32(plain, kFaceTop));
    EXPECT_EQ(50u, Peek32(plain, kDockOverlap));
    EXPECT_EQ(35u, Peek32(plain, kDockRise));
    EXPECT_EQ(0, plain[kAuthor] | plain[kDataName] | plain[kHomePage] | plain[kMailAddress]);
}

struct Refusal {
    const char *name;
    std::vector<std::string> options;
    std::function<void(Bytes &)> damage; // to the picture
    const char *said;                    // part of the message
    int code;
};

TEST(QvetoolPack, RefusesClearlyAndWritesNothing)
{
    const std::string longest(255, 'x');
    std::string kanji255 = "x";
    for (int i = 0; i < 127; i++)
        kanji255 += "あ"; // two bytes each in Shift-JIS
    const std::vector<Refusal> cases = {
        {"256 bytes", {"--author", longest + "y"}, nullptr, "256 バイトあります。255 バイトまで", 1},
        {"128 kana make 256 bytes", {"--name", kanji255 + "y"}, nullptr, "256 バイトあります", 1},
        {"a character Shift-JIS lacks", {"--author", "Café"}, nullptr, "「é」は Shift-JIS にない文字", 1},
        {"an emoji", {"--name", "時計\xF0\x9F\x95\x90"}, nullptr, "Shift-JIS にない文字", 1},
        {"not UTF-8", {"--name", "\xFF\xFE"}, nullptr, "UTF-8 ではありません", 1},
        {"face without a comma", {"--face", "5"}, nullptr, "--face は「X,Y」", 1},
        {"face past 32 bits", {"--face", "5,2147483648"}, nullptr, "--face は「X,Y」", 1},
        {"face with junk", {"--face", "5,6x"}, nullptr, "--face は「X,Y」", 1},
        {"dock empty", {"--dock", ","}, nullptr, "--dock は", 1},
        {"an unknown option", {"--colour", "red"}, nullptr, "知らないオプションです: --colour", 2},
        {"an option twice", {"--name", "a", "--name", "b"}, nullptr, "--name が 2 回あります", 2},
        {"a value missing", {"--mail"}, nullptr, "--mail のあとに値がありません", 2},
        {"not a BMP file", {}, [](Bytes &b) { b.assign(200, 'P'); }, "BMP ファイルではありません", 1},
        {"a cut picture", {}, [](Bytes &b) { b.resize(b.size() - 1); },
         "画素データの最後の行がオフセット 4078 で終わるはずですが、ファイルは 4077 バイトで終わります", 1},
        {"JPEG", {}, [](Bytes &b) { Poke32(b, 30, 4); }, "オフセット 30 の biCompression が BI_JPEG (4)", 1},
    };
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.name);
        Scratch scratch;
        Bytes picture = PictureOf(BuildSkin(SmallPicture()));
        if (c.damage)
            c.damage(picture);
        scratch.write("in.bmp", picture);
        std::vector<std::string> arguments = {"pack", scratch.path("in.bmp"), "-o", scratch.path("out.qve")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        ToolRun run = Qvetool(arguments);
        EXPECT_EQ(c.code, run.code);
        EXPECT_NE(std::string::npos, run.err.find(c.said)) << run.err;
        EXPECT_EQ(std::vector<std::string>{"in.bmp"}, scratch.names()) << "something was written";
    }

    // The longest texts that fit go in whole.
    Scratch scratch;
    scratch.write("in.bmp", PictureOf(BuildSkin(SmallPicture())));
    ToolRun run = Qvetool({"pack", scratch.path("in.bmp"), "-o", scratch.path("out.qve"), "--author", longest,
                           "--name", kanji255});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_EQ(longest, std::string((const char *)&scratch.read("out.qve")[kAuthor]));
}

// A BMP file in one of the older forms: RLE8 (1) or RLE4 (2) after a 40-byte
// header, or OS/2 1.x (`form` 12) with its colour triples; 16 colours, then
// the compressed stream or the rows.
Bytes OldBmp(uint32_t form, int width, int height, uint16_t bits, const Bytes &data)
{
    const size_t entry = form == 12 ? 3 : 4, offBits = 14 + (form == 12 ? 12 : 40) + 16 * entry;
    Bytes bmp(offBits, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    Poke32(bmp, 10, (uint32_t)offBits);
    if (form == 12) {
        Poke32(bmp, 14, 12);
        Poke16(bmp, 18, (uint16_t)width), Poke16(bmp, 20, (uint16_t)height), Poke16(bmp, 22, 1);
        Poke16(bmp, 24, bits);
    } else {
        Poke32(bmp, 14, 40), Poke32(bmp, 18, (uint32_t)width), Poke32(bmp, 22, (uint32_t)height);
        Poke16(bmp, 26, 1), Poke16(bmp, 28, bits), Poke32(bmp, 30, form), Poke32(bmp, 46, 16);
    }
    for (size_t i = 0; i < 16; i++) // blue, green, red: i, 16 i, 255 - i
        bmp[offBits - 16 * entry + entry * i] = (unsigned char)i, bmp[offBits - 16 * entry + entry * i + 1] =
            (unsigned char)(16 * i), bmp[offBits - 16 * entry + entry * i + 2] = (unsigned char)(255 - i);
    bmp.insert(bmp.end(), data.begin(), data.end());
    return bmp;
}

struct OldPicture {
    const char *name;
    Bytes bmp;
    std::vector<std::string> shown; // colour indices, top row first; empty when refused
    const char *said;               // part of what pack says
};

TEST(QvetoolPack, ConvertsTheOlderFormsPixelForPixel)
{
    const std::vector<OldPicture> cases = {
        // A run, a literal of 3 padded to 4 bytes, an end of row, a move
        // right 1 and up 1 (leaving 6 pixels of row 1 and 1 of row 2 at 0),
        // a run, the end: 7 skipped.
        {"RLE8", OldBmp(1, 6, 3, 8, {2, 5, 0, 3, 1, 2, 3, 0, 1, 9, 0, 0, 0, 2, 1, 1, 5, 7, 0, 1}),
         {"077777", "000000", "551239"}, "RLE8 で圧縮された絵を、時計が読み込める非圧縮の 8 ビットの絵にしました。"
                                         "圧縮で飛ばされていた 7 ピクセル"},
        // Runs take turns between two indices; a literal of 5 nibbles fills 4 bytes.
        {"RLE4", OldBmp(2, 7, 2, 4, {5, 0xAB, 2, 0xCC, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 2, 0xEF, 0, 1}),
         {"12345EF", "ABABACC"}, "RLE4 で圧縮された絵を、時計が読み込める非圧縮の 4 ビットの絵にしました。"},
        {"OS/2 1.x", OldBmp(12, 3, 2, 4, {0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0}), {"FED", "123"},
         "OS/2 1.x の絵を、時計が読み込める非圧縮の 4 ビットの絵にしました。"},
        {"a run past the row's end", OldBmp(1, 6, 2, 8, {4, 1, 3, 2, 0, 1}), {},
         "RLE8 の圧縮された画素が壊れています: オフセット 120 の 3 ピクセルが 4 列目から行の終わり (幅 6) を越えます"},
        {"a move past the picture", OldBmp(2, 8, 2, 4, {0, 2, 1, 2, 0, 1}), {},
         "オフセット 118 の移動 (右へ 1、上へ 2) が絵の外に出ます"},
        {"a literal past the data", OldBmp(1, 8, 2, 8, {0, 5, 1, 2, 3}), {}, "オフセット 118 の 5 ピクセルがデータの終わり"},
        {"no end", OldBmp(1, 8, 2, 8, {8, 1, 0, 0}), {}, "オフセット 122 で終わりの印 (00 01) の前にデータが尽きました"},
    };
    for (const OldPicture &c : cases) {
        SCOPED_TRACE(c.name);
        Scratch scratch;
        ToolRun run = Qvetool({"pack", scratch.write("in.bmp", c.bmp), "-o", scratch.path("out.qve")});
        EXPECT_NE(std::string::npos, (run.out + run.err).find(c.said)) << run.out << run.err;
        if (c.shown.empty()) {
            EXPECT_EQ(1, run.code);
            EXPECT_EQ(std::vector<std::string>{"in.bmp"}, scratch.names()) << "something was written";
            continue;
        }
        ASSERT_EQ(0, run.code) << run.err;
        // The clock loads what pack wrote, and shows each pixel in its colour.
        const Bytes skin = scratch.read("out.qve");
        SkinLayout layout;
        ASSERT_EQ(SKIN_OK, CheckSkinImage(skin.data(), skin.size(), &layout));
        const Picture picture = DecodeSkinPicture(skin.data(), layout);
        ASSERT_EQ(c.shown.size() * c.shown[0].size(), picture.pixels.size());
        for (int y = 0; y < picture.height; y++)
            for (int x = 0; x < picture.width; x++) {
                const uint32_t i = (uint32_t)std::stoul(std::string(1, c.shown[y][x]), nullptr, 16);
                ASSERT_EQ((255 - i) << 16 | (16 * i) << 8 | i, picture.at(x, y)) << x << "," << y;
            }
    }
}

TEST(QvetoolPack, KeepsAnExistingOutputUnlessForced)
{
    Scratch scratch;
    scratch.write("in.bmp", PictureOf(BuildSkin(SmallPicture())));
    const Bytes mine = {'m', 'i', 'n', 'e'};
    scratch.write("out.qve", mine);
    ToolRun run = Qvetool({"pack", scratch.path("in.bmp"), "-o", scratch.path("out.qve")});
    EXPECT_EQ(1, run.code);
    EXPECT_NE(std::string::npos, run.err.find("もうあります。置き換えるには --force")) << run.err;
    EXPECT_TRUE(scratch.read("out.qve") == mine);
    // A missing picture leaves the old file too, even when forced.
    EXPECT_EQ(1, Qvetool({"pack", scratch.path("gone.bmp"), "-o", scratch.path("out.qve"), "--force"}).code);
    EXPECT_TRUE(scratch.read("out.qve") == mine);

    ASSERT_EQ(0, Qvetool({"pack", scratch.path("in.bmp"), "-o", scratch.path("out.qve"), "--force"}).code);
    EXPECT_EQ(1077 + scratch.read("in.bmp").size(), scratch.read("out.qve").size());
    EXPECT_EQ(2u, scratch.names().size()) << "a temporary was left behind";
}

TEST(QvetoolUnpack, PackAfterUnpackGivesTheSameBytes)
{
    const std::vector<std::vector<std::string>> texts = {
        {},
        {"--author", "時刻 太郎", "--name", "ﾃﾞﾌｫﾙﾄ 'ﾃﾞｰﾀ'", "--home", "http://a.invalid/x y", "--mail",
         "\"q\"@b; $HOME `ls` \\n"},
        {"--name", "-starts-with-a-dash", "--face", "-2147483648,2147483647", "--dock", "0,0"},
    };
    for (const auto &options : texts) {
        Scratch scratch;
        SkinRecipe recipe = SmallPicture();
        recipe.bitCount = 24;
        recipe.trailing = 5; // bytes after the rows belong to the picture too
        scratch.write("in.bmp", PictureOf(BuildSkin(recipe)));
        std::vector<std::string> pack = {"pack", scratch.path("in.bmp"), "-o", scratch.path("first.qve")};
        pack.insert(pack.end(), options.begin(), options.end());
        ASSERT_EQ(0, Qvetool(pack).code);

        ToolRun unpacked = Qvetool({"unpack", scratch.path("first.qve"), "-o", scratch.path("again.bmp")});
        ASSERT_EQ(0, unpacked.code) << unpacked.err;
        EXPECT_EQ("", unpacked.err);
        EXPECT_TRUE(scratch.read("again.bmp") == scratch.read("in.bmp"));
        std::vector<std::string> repack = {"pack", scratch.path("again.bmp"), "-o", scratch.path("second.qve")};
        for (const std::string &word : ShellWords(unpacked.out))
            repack.push_back(word);
        ToolRun packed = Qvetool(repack);
        ASSERT_EQ(0, packed.code) << unpacked.out << packed.err;
        EXPECT_TRUE(scratch.read("second.qve") == scratch.read("first.qve")) << unpacked.out;
    }
}

TEST(QvetoolUnpack, TellsWhatPackCannotGiveBack)
{
    Scratch scratch;
    Bytes skin = BuildSkin(SmallPicture());
    skin[kHeaderWord] = 7;
    skin[kExtraValue] = 9;
    skin[1060] = 1;
    memset(&skin[kAuthor], 'a', 256);              // no NUL
    memcpy(&skin[kDataName], "ok\0junk", 7);       // bytes after the NUL
    memcpy(&skin[kHomePage], "\x81\x20\xFF", 4);  // not Shift-JIS
    scratch.write("odd.qve", skin);
    ToolRun run = Qvetool({"unpack", scratch.path("odd.qve"), "-o", scratch.path("odd.bmp")});
    ASSERT_EQ(0, run.code) << run.err;
    for (const char *said : {"headerWord", "extraValue", "オフセット 1053", "作成者の欄に終わりの NUL がありません",
                             "データ名の欄の NUL より後", "ホームページの欄が Shift-JIS ではない"})
        EXPECT_NE(std::string::npos, run.err.find(said)) << said << "\n" << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("--home")) << run.out;
    EXPECT_TRUE(scratch.read("odd.bmp") == PictureOf(skin));

    // Not a skin at all: nothing written.
    scratch.write("text.qve", Bytes(2000, 'x'));
    run = Qvetool({"unpack", scratch.path("text.qve"), "-o", scratch.path("text.bmp")});
    EXPECT_EQ(1, run.code);
    EXPECT_NE(std::string::npos, run.err.find("スキンファイルではありません")) << run.err;
    EXPECT_FALSE(scratch.exists("text.bmp"));
}

} // namespace
