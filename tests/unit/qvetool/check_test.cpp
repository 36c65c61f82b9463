// check: the clock's own verdict, told with the rule, the offset and the
// values, and the warnings about skins that load but will not look or work
// as meant.
#include <gtest/gtest.h>
#include <dirent.h>
#include <string.h>

#include "dialogs/linkrules.h"
#include "picture.h"
#include "qvetoolkit.h"

using namespace skintest;

namespace {

ToolRun CheckImage(const Bytes &image)
{
    Scratch scratch;
    return Qvetool({"check", scratch.write("skin.qve", image)});
}

struct Told {
    const char *name;
    std::function<void(Bytes &)> damage;
    std::vector<const char *> said;
};

TEST(QvetoolCheck, NamesTheRuleWithItsOffsetAndValues)
{
    // 8 x 4 at 8 bits: rows from 2155, the file 2187 bytes long.
    const std::vector<Told> cases = {
        {"too short", [](Bytes &b) { b.resize(1000); }, {"1000 バイトしかありません", "少なくとも 1131 バイト"}},
        {"rows past the end", [](Bytes &b) { Poke32(b, kOffBits, 5000); },
         {"オフセット 1087 の bfOffBits", "オフセット 6077 から", "2187 バイトで終わります"}},
        {"lower-case magic", [](Bytes &b) { b[0] = 'q'; }, {"オフセット 0 が \"QVE\" ではありません (71 56 45)"}},
        {"core header", [](Bytes &b) { Poke32(b, kBiSize, 12); }, {"オフセット 1091 の biSize が 12", "40 バイト以上"}},
        {"header past the end", [](Bytes &b) { Poke32(b, kBiSize, 2000); }, {"オフセット 3091 まで", "2187 バイト"}},
        {"linked profile", [](Bytes &b) { Poke32(b, kBiSize, 124); Poke32(b, kInfo + 56, 0x4C494E4B); },
         {"オフセット 1147 の bV5CSType", "リンクされたカラープロファイル"}},
        {"width", [](Bytes &b) { Poke32(b, kBiWidth, 5000); }, {"オフセット 1095 の幅 (biWidth) が 5000", "4096"}},
        {"negative width", [](Bytes &b) { Poke32(b, kBiWidth, (uint32_t)-8); }, {"biWidth) が -8"}},
        {"height", [](Bytes &b) { Poke32(b, kBiHeight, 0); }, {"オフセット 1099 の高さ (biHeight) が 0"}},
        {"planes", [](Bytes &b) { Poke16(b, kBiPlanes, 3); }, {"オフセット 1103 の biPlanes が 3"}},
        {"depth", [](Bytes &b) { Poke16(b, kBiBitCount, 2); }, {"オフセット 1105 の biBitCount が 2"}},
        {"bitfields at 8 bits", [](Bytes &b) { Poke32(b, kBiCompression, 3); }, {"BI_BITFIELDS (3) ですが、絵は 8 ビット"}},
        {"PNG inside", [](Bytes &b) { Poke32(b, kBiCompression, 5); }, {"オフセット 1107 の biCompression が BI_PNG (5)"}},
        {"odd compression", [](Bytes &b) { Poke32(b, kBiCompression, 77); }, {"biCompression が 77 です"}},
        {"too many colours", [](Bytes &b) { Poke32(b, kBiClrUsed, 300); }, {"オフセット 1123 の biClrUsed が 300"}},
        {"table into the rows", [](Bytes &b) { Poke32(b, kOffBits, 14 + 40 + 16); },
         {"カラーテーブルがオフセット 2155 まで", "オフセット 1087 の bfOffBits", "(オフセット 1147)"}},
        {"last row cut", [](Bytes &b) { b.pop_back(); },
         {"オフセット 2187 で終わるはず", "2186 バイトで終わります", "オフセット 1095 からの幅"}},
    };
    for (const Told &c : cases) {
        SCOPED_TRACE(c.name);
        SkinRecipe recipe;
        Bytes image = BuildSkin(recipe);
        c.damage(image);
        SkinLayout layout;
        ASSERT_NE(SKIN_OK, CheckSkinImage(image.data(), image.size(), &layout));
        ToolRun run = CheckImage(image);
        EXPECT_EQ(1, run.code);
        EXPECT_NE(std::string::npos, run.out.find("時計はこのスキンを読み込めません")) << run.out;
        for (const char *said : c.said)
            EXPECT_NE(std::string::npos, run.out.find(said)) << said << "\n" << run.out;
    }
}

// "check passes" must mean "the clock loads it": the same verdict as the
// program's check on every seed of the fuzz corpus.
TEST(QvetoolCheck, AgreesWithTheProgramOnTheFuzzCorpus)
{
    const std::string folder = TKP_SOURCE_DIR "/tests/fuzz/corpus/skinformat";
    DIR *dir = opendir(folder.c_str());
    ASSERT_TRUE(dir != NULL);
    int seen = 0;
    while (dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        Scratch scratch;
        std::ifstream file(folder + "/" + entry->d_name, std::ios::binary);
        Bytes image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        SkinLayout layout;
        int accepted = CheckSkinImage(image.data(), image.size(), &layout) == SKIN_OK;
        EXPECT_EQ(accepted ? 0 : 1, CheckImage(image).code) << entry->d_name;
        seen++;
    }
    closedir(dir);
    EXPECT_GE(seen, 10);
}

struct Warned {
    const char *name;
    std::function<void(SkinRecipe &)> recipe;
    const char *said; // nullptr: no warning at all
};

TEST(QvetoolCheck, WarnsAboutWhatLoadsButWillNotLookOrWorkAsMeant)
{
    // 100 x 30, key colour index 0 at the top-left, every other pixel opaque.
    const std::vector<Warned> cases = {
        {"a clean skin", [](SkinRecipe &) {}, nullptr},
        {"links that are links", [](SkinRecipe &r) { r.homePage = "http://a.invalid/"; r.mailAddress = "a@b"; },
         nullptr},
        {"face at the far corner, still inside", [](SkinRecipe &r) { r.faceLeft = 11; r.faceTop = 11; }, nullptr},
        {"face one column too far", [](SkinRecipe &r) { r.faceLeft = 12; },
         "文字盤 (列 13〜100、行 12〜29) が 100 × 30 の絵からはみ出し"},
        {"face at the top edge, still inside", [](SkinRecipe &r) { r.faceTop = -1; }, nullptr},
        {"face one row above the picture", [](SkinRecipe &r) { r.faceTop = -2; }, "行 -1〜16"},
        {"face far away", [](SkinRecipe &r) { r.faceLeft = 2147483647; }, "外れ、まったく見えません"},
        {"nothing visible", [](SkinRecipe &r) { r.pixel = [](int, int) { return 0u; }; },
         "すべての画素がキー色 (左上の画素の色 RGB(0,0,0))"},
        {"a key colour only in the corner", [](SkinRecipe &r) { r.pixel = [](int x, int y) { return x + y ? 5u : 9u; }; },
         "左上の 1 つだけ"},
        {"a home page that is a program", [](SkinRecipe &r) { r.homePage = "C:\\Windows\\notepad.exe"; },
         "ホームページ「C:\\Windows\\notepad.exe」は"},
        {"a mail address with a rider", [](SkinRecipe &r) { r.mailAddress = "a@b?subject=x"; },
         "メールアドレス「a@b?subject=x」は"},
        {"a text without its NUL", [](SkinRecipe &r) { r.dataName = std::string(256, 'n'); },
         "データ名の欄 (オフセット 265) が 256 バイトすべて埋まり"},
        {"control characters shown as such", [](SkinRecipe &r) { r.homePage = "http://a.invalid/\r\n"; },
         "ホームページ「http://a.invalid/\\x0D\\x0A」"},
    };
    for (const Warned &c : cases) {
        SCOPED_TRACE(c.name);
        SkinRecipe recipe;
        recipe.width = 100;
        recipe.height = 30;
        // Index 0 at the top-left, and a few more key pixels: a real outline.
        recipe.pixel = [](int x, int y) { return (x < 2 && y < 2) ? 0u : 1u + (uint32_t)(x % 7); };
        c.recipe(recipe);
        ToolRun run = CheckImage(BuildSkin(recipe));
        EXPECT_EQ(0, run.code) << run.out;
        if (!c.said) {
            EXPECT_EQ(std::string::npos, run.out.find("警告")) << run.out;
        } else {
            EXPECT_NE(std::string::npos, run.out.find("\n警告: ")) << run.out;
            EXPECT_NE(std::string::npos, run.out.find(c.said)) << run.out;
        }
    }
}

// Opaque islands and enclosed holes of a picture's outline (4-connected).
void CountShapes(const Picture &picture, int *islands, int *holes)
{
    std::vector<int> seen(picture.pixels.size(), 0);
    *islands = *holes = 0;
    const uint32_t key = picture.pixels[0];
    for (size_t start = 0; start < seen.size(); start++) {
        if (seen[start])
            continue;
        const bool opaque = picture.pixels[start] != key;
        bool touchesEdge = false;
        std::vector<size_t> todo = {start};
        seen[start] = 1;
        while (!todo.empty()) {
            size_t at = todo.back();
            todo.pop_back();
            int x = (int)(at % picture.width), y = (int)(at / picture.width);
            touchesEdge |= x == 0 || y == 0 || x == picture.width - 1 || y == picture.height - 1;
            const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto &step : steps) {
                int nx = x + step[0], ny = y + step[1];
                if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height)
                    continue;
                size_t next = (size_t)ny * picture.width + nx;
                if (!seen[next] && (picture.pixels[next] != key) == opaque) {
                    seen[next] = 1;
                    todo.push_back(next);
                }
            }
        }
        if (opaque)
            ++*islands;
        else if (!touchesEdge)
            ++*holes;
    }
}

// The sample skins are ours: each loads and draws no warning, the cloud has
// holes and islands, and the banner has all four credits, its home page and
// mail address being links.
TEST(QvetoolCheck, TheSampleSkinsAreWhatTheyPromise)
{
    const char *folder = getenv("TKP_SAMPLE_SKINS");
    ASSERT_TRUE(folder != NULL) << "the test runs from ctest, which names the built samples";
    for (const char *name : {"night.qve", "cloud.qve", "banner.qve"}) {
        const std::string path = std::string(folder) + "/" + name;
        ToolRun run = Qvetool({"check", path});
        EXPECT_EQ(0, run.code) << name << run.out << run.err;
        EXPECT_EQ(std::string::npos, run.out.find("警告")) << name << run.out;

        std::ifstream file(path, std::ios::binary);
        Bytes image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        SkinLayout layout;
        ASSERT_EQ(SKIN_OK, CheckSkinImage(image.data(), image.size(), &layout)) << name;
        int islands, holes;
        CountShapes(DecodeSkinPicture(image.data(), layout), &islands, &holes);
        if (strcmp(name, "cloud.qve") == 0) {
            EXPECT_GE(islands, 3) << "the cloud and puffs apart from it";
            EXPECT_GE(holes, 3) << "holes in the cloud";
        }
        if (strcmp(name, "banner.qve") == 0) {
            for (size_t field : {kAuthor, kDataName, kHomePage, kMailAddress})
                EXPECT_NE(0, image[field]) << "credit at " << field;
            EXPECT_EQ(1, IsWebLink((const char *)&image[kHomePage]));
            EXPECT_EQ(1, IsMailLink((const char *)&image[kMailAddress]));
        }
    }
}

// The loader's rule past the file check: at most 30,000 rectangles in the
// outline. A checkerboard of n x n has n * n / 2 runs of the other colour.
TEST(QvetoolCheck, AnOutlineOfMoreThan30000RectanglesIsRefusedByEveryCommand)
{
    const struct {
        int side;
        bool refused;
    } boards[] = {{244, false}, {245, true}, {256, true}}; // 29,768, 30,012 and 32,768 runs
    for (const auto &board : boards) {
        SCOPED_TRACE(board.side);
        SkinRecipe recipe;
        recipe.width = recipe.height = board.side;
        recipe.palette = {0x808000, 0xFFFFFF};
        recipe.pixel = [](int x, int y) { return (uint32_t)((x + y) % 2); };
        Bytes image = BuildSkin(recipe);
        Scratch scratch;
        std::string skin = scratch.write("board.qve", image), bmp = scratch.write("board.bmp", PictureOf(image));

        ToolRun check = Qvetool({"check", skin});
        EXPECT_EQ(board.refused ? 1 : 0, check.code) << check.out;
        EXPECT_EQ(board.refused, check.out.find("30000 個を超えます") != std::string::npos) << check.out;
        ToolRun pack = Qvetool({"pack", bmp, "-o", scratch.path("packed.qve")});
        EXPECT_EQ(board.refused ? 1 : 0, pack.code) << pack.err;
        EXPECT_EQ(!board.refused, scratch.exists("packed.qve")) << "a refused picture writes nothing";
        EXPECT_EQ(board.refused ? 1 : 0, Qvetool({"preview", skin, "-o", scratch.path("board.png")}).code);
    }
}

TEST(QvetoolCheck, CannotReadIsARefusalToo)
{
    ToolRun run = Qvetool({"check", "/nonexistent/skin.qve"});
    EXPECT_EQ(1, run.code);
    EXPECT_NE(std::string::npos, run.err.find("ファイルがありません")) << run.err;
    run = Qvetool({"check"});
    EXPECT_EQ(2, run.code);
    EXPECT_NE(std::string::npos, run.err.find("使い方")) << run.err;
    EXPECT_EQ(2, Qvetool({"frobnicate", "x"}).code);
}

} // namespace
