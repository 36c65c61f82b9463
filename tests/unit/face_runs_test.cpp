// The hour shown on the face, and the runs of a picture row that make the
// window's outline.
#include <gtest/gtest.h>
#include <limits.h>

#include <vector>

#include "skin/facelayout.h"
#include "skin/runscan.h"

TEST(FaceHour, TwentyFourAndTwelveHourForms)
{
    struct {
        int hour, timeSys, shown, pm;
    } cases[] = {{0, 24, 0, 0},  {9, 24, 9, 0},   {23, 24, 23, 0}, {0, 12, 0, 0},   {12, 12, 12, 0},
                 {13, 12, 1, 1}, {22, 12, 10, 1}, {23, 12, 11, 1}, {13, 13, 13, 0}, {13, 0, 13, 0}};
    for (const auto &c : cases) {
        int pm = -1;
        EXPECT_EQ(ShownHour(c.hour, c.timeSys, &pm), c.shown) << c.hour << " in " << c.timeSys;
        EXPECT_EQ(pm, c.pm) << c.hour << " in " << c.timeSys;
    }
}

TEST(FaceHour, PositionsFromAStrangersOriginDoNotOverflow)
{
    EXPECT_EQ(FacePosition(5, 80), 85);
    EXPECT_EQ(FacePosition(-90, 80), -10);
    EXPECT_EQ(FacePosition(INT_MAX - 3, 80), INT_MAX);
    EXPECT_EQ(FacePosition(INT_MIN, 80), INT_MIN + 80);
}

namespace {

std::vector<std::pair<int, int>> Runs(const std::vector<uint32_t> &row, uint32_t key)
{
    std::vector<int> starts(row.size() / 2 + 1), ends(row.size() / 2 + 1);
    size_t count = ScanRowRuns(row.data(), (int)row.size(), key, starts.data(), ends.data());
    std::vector<std::pair<int, int>> runs;
    for (size_t i = 0; i < count; i++)
        runs.push_back({starts[i], ends[i]});
    return runs;
}

} // namespace

TEST(RowRuns, MaximalRunsOfNonKeyPixels)
{
    const uint32_t K = 0x808000, A = 0xFFFFFF, B = 0x000000;
    using Runs_ = std::vector<std::pair<int, int>>;
    EXPECT_EQ(Runs({K, A, K, B}, K), (Runs_{{1, 2}, {3, 4}})) << "key, non-key, key, non-key: two runs";
    EXPECT_EQ(Runs({A, B, A}, K), (Runs_{{0, 3}})) << "different colours that are not the key join";
    EXPECT_EQ(Runs({K, K, A}, K), (Runs_{{2, 3}})) << "a single pixel at the right edge is a run";
    EXPECT_EQ(Runs({K, A, A}, K), (Runs_{{1, 3}})) << "a run reaching the right edge keeps it";
    EXPECT_EQ(Runs({K}, K), Runs_{}) << "1 x 1 of the key colour: nothing";
    EXPECT_EQ(Runs({A}, K), (Runs_{{0, 1}}));
    EXPECT_EQ(Runs({A, K, A, K, A}, K), (Runs_{{0, 1}, {2, 3}, {4, 5}})) << "the most runs a row can hold";
    // Long stretches of the key are skipped several pixels at a time: a lone
    // pixel at any place within or after such a stretch must still be found.
    for (int at = 0; at < 13; at++) {
        std::vector<uint32_t> row(13, K);
        row[at] = A;
        EXPECT_EQ(Runs(row, K), (Runs_{{at, at + 1}})) << "lone pixel at " << at;
    }
}

TEST(RowRuns, OnlyTheColourBytesCount)
{
    const uint32_t K = 0x808000;
    using Runs_ = std::vector<std::pair<int, int>>;
    // The fourth byte is padding, whatever the system left in it.
    EXPECT_EQ(Runs({0xFF808000, K, 0x01808000, 0xFF808001, K, K, K, K, 0x7F808000}, K), (Runs_{{3, 4}}));
    // A key that is no colour at all (CLR_INVALID) matches nothing, white
    // with any padding included, in stretches longer than the skip.
    const uint32_t white = 0x00FFFFFF;
    EXPECT_EQ(Runs({K, 0, white}, 0xFFFFFFFF), (Runs_{{0, 3}}));
    EXPECT_EQ(Runs(std::vector<uint32_t>(9, white), 0xFFFFFFFF), (Runs_{{0, 9}}));
    EXPECT_EQ(Runs({white, white, white, white, white, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, K},
                   0xFFFFFFFF),
              (Runs_{{0, 10}}));
    EXPECT_EQ(Runs({}, 0xFFFFFFFF), Runs_{});
}

namespace {

// Scans a width x height checkerboard of key and non-key pixels row by row;
// returns the row at which the outline was refused, or -1.
int RefusedAtRow(int width, int height, size_t *runs)
{
    const uint32_t K = 0x808000, A = 0xFFFFFF;
    OutlineScan scan = {K, 0};
    std::vector<uint32_t> row((size_t)width);
    std::vector<int> starts((size_t)width / 2 + 1), ends((size_t)width / 2 + 1);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++)
            row[(size_t)x] = (x + y) % 2 ? A : K;
        if (ScanOutlineRow(&scan, row.data(), width, starts.data(), ends.data()) == OUTLINE_TOO_COMPLEX)
            return y;
    }
    *runs = scan.runs;
    return -1;
}

} // namespace

TEST(OutlineRuns, MoreThanThirtyThousandRectanglesAreRefused)
{
    size_t runs = 0;
    // 120 rows of 250 runs: exactly the bound.
    EXPECT_EQ(RefusedAtRow(500, 120, &runs), -1);
    EXPECT_EQ(runs, 30000u);
    // One run more, in the next row.
    EXPECT_EQ(RefusedAtRow(500, 121, &runs), 120);
    // The checkerboards seen to kill the X connection under Wine (32,768
    // runs) and to pass (32,512): both well past the bound.
    EXPECT_EQ(RefusedAtRow(256, 256, &runs), 234) << "128 runs a row: the 30,001st run is in row 234";
    EXPECT_GE(RefusedAtRow(255, 255, &runs), 0);
    // The tallest real skin, one run a row.
    OutlineScan scan = {0, 0};
    const uint32_t opaque[3] = {0, 0xFFFFFF, 0};
    int starts[2], ends[2];
    for (int y = 0; y < 4096; y++)
        ASSERT_EQ(ScanOutlineRow(&scan, opaque, 3, starts, ends), 1u) << y;
}
