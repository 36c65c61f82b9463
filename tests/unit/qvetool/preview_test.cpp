// preview: the face drawn on the picture, key-colour pixels transparent, in
// a PNG file. (How each depth decodes is compared with the system's own
// decoding under Wine.)
#include <gtest/gtest.h>

#include "../../common/pngdecode.h"
#include "qvetoolkit.h"

using namespace skintest;

namespace {

const uint32_t kGrey = 0xC0C0C0, kKey = 0x00FF00;

// 100 x 30 grey, key-coloured in the top-left corner and down column 30
// (right through the face), the face at 5,6.
Bytes PreviewSkin()
{
    SkinRecipe recipe;
    recipe.width = 100;
    recipe.height = 30;
    recipe.bitCount = 24;
    recipe.faceLeft = 5;
    recipe.faceTop = 6;
    recipe.pixel = [](int x, int y) { return (x + y < 3 || x == 30) ? kKey : kGrey; };
    return BuildSkin(recipe);
}

Png Preview(const std::vector<std::string> &options)
{
    Scratch scratch;
    std::vector<std::string> arguments = {"preview", scratch.write("skin.qve", PreviewSkin()), "-o",
                                          scratch.path("out.png")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ToolRun run = Qvetool(arguments);
    EXPECT_EQ(0, run.code) << run.err;
    return DecodePng(scratch.read("out.png"));
}

int Count(const Png &png, int x0, int y0, int width, int height, uint32_t colour)
{
    int count = 0;
    for (int y = y0; y < y0 + height; y++)
        for (int x = x0; x < x0 + width; x++)
            count += png.at(x, y) == colour;
    return count;
}

TEST(QvetoolPreview, DrawsTheFaceAndCutsTheKeyColourAway)
{
    const int X = 5, Y = 6;
    Png png = Preview({"--time", "8:59:58"});
    ASSERT_EQ(100, png.width);
    ASSERT_EQ(30, png.height);
    Scratch scratch;
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 100; x++) {
            bool key = x + y < 3 || x == 30;
            // The outline is the picture's: a digit over a key pixel stays cut away.
            ASSERT_EQ(key ? 0u : 0xFFu, png.at(x, y) >> 24) << x << "," << y;
        }
    const uint32_t black = 0xFF000000;
    // Column 30, the last of the hour's tens place, is the key colour.
    EXPECT_EQ(8 * 18, Count(png, X + 17, Y + 1, 8, 18, 0xFFC0C0C0)) << "no hour tens before 10";
    EXPECT_GT(Count(png, X + 28, Y + 1, 9, 18, black), 40) << "the 8 of the hour";
    EXPECT_GT(Count(png, X + 80, Y + 1, 9, 18, black), 40) << "the 8 of the seconds";
    EXPECT_EQ(12, Count(png, X + 39, Y + 1, 2, 18, black)) << "the colon's two dots";
    EXPECT_EQ(0, Count(png, 0, 0, 100, 30, 0xFFFF0000) + Count(png, 0, 0, 100, 30, 0xFF0000FF)) << "no mark";

    // 12-hour form: 20:00:00 is PM 8:00:00, the red mark in the lower half.
    png = Preview({"--time", "20:00:00", "--12h"});
    EXPECT_GT(Count(png, X + 1, Y + 11, 14, 7, 0xFFFF0000), 20);
    EXPECT_EQ(0, Count(png, 0, 0, 100, 30, 0xFF0000FF));
    EXPECT_EQ(8 * 18, Count(png, X + 17, Y + 1, 8, 18, 0xFFC0C0C0));
    // 12:30:00 stays 12 with the blue AM mark in the upper half.
    png = Preview({"--time", "12:30:00", "--12h"});
    EXPECT_GT(Count(png, X + 1, Y + 2, 14, 8, 0xFF0000FF), 20);
    EXPECT_GT(Count(png, X + 17, Y + 1, 9, 18, black), 10) << "the 1 of 12";
}

TEST(QvetoolPreview, FacesOutsideThePictureAreClipped)
{
    SkinRecipe recipe;
    recipe.width = 20;
    recipe.height = 10;
    for (int32_t origin : {-30, 2147483647, -2147483647 - 1}) {
        recipe.faceLeft = origin;
        recipe.faceTop = -5;
        Scratch scratch;
        ToolRun run = Qvetool({"preview", scratch.write("s.qve", BuildSkin(recipe)), "-o", scratch.path("p.png"),
                               "--time", "23:59:59"});
        EXPECT_EQ(0, run.code) << run.err;
        EXPECT_EQ(20, DecodePng(scratch.read("p.png")).width);
    }
}

TEST(QvetoolPreview, RefusesBadTimesAndSkinsTheClockRefuses)
{
    for (const char *time : {"24:00:00", "12:60:00", "12:00:60", "1:2:3", "123:00:00", "12:00", "12:00:00x", "",
                             "-1:00:00", "12:+5:00"}) {
        Scratch scratch;
        ToolRun run = Qvetool({"preview", scratch.write("s.qve", PreviewSkin()), "-o", scratch.path("p.png"),
                               "--time", time});
        EXPECT_EQ(1, run.code) << time;
        EXPECT_NE(std::string::npos, run.err.find("--time は")) << time << run.err;
        EXPECT_FALSE(scratch.exists("p.png"));
    }
    for (const char *time : {"0:00:00", "09:05:00", "23:59:59"}) {
        Scratch scratch;
        EXPECT_EQ(0, Qvetool({"preview", scratch.write("s.qve", PreviewSkin()), "-o", scratch.path("p.png"),
                              "--time", time}).code) << time;
    }
    Scratch scratch;
    Bytes broken = PreviewSkin();
    broken[0] = 'q';
    ToolRun run = Qvetool({"preview", scratch.write("s.qve", broken), "-o", scratch.path("p.png")});
    EXPECT_EQ(1, run.code);
    EXPECT_NE(std::string::npos, run.err.find("\"QVE\" ではありません")) << run.err;
    EXPECT_FALSE(scratch.exists("p.png"));
}

} // namespace
