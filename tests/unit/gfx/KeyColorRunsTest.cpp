#include "gfx/KeyColorRuns.h"

#include <gtest/gtest.h>

namespace {
constexpr TColor32 K = 0xFF000000; // key
constexpr TColor32 A = 0xFF102030;
constexpr TColor32 B = 0xFFFFFFFF;

TBitmap32 Picture(int w, int h, std::initializer_list<TColor32> pixels) {
    TBitmap32 b(w, h);
    int i = 0;
    for (TColor32 c : pixels) {
        b.SetPixel(i % w, i / w, c);
        ++i;
    }
    return b;
}

struct TRunsCase {
    const char* Name;
    TBitmap32 Picture;
    bool Flip;
    std::vector<TRect> Runs;
};

TEST(KeyColorRunsTest, RunsOfNonKeyPixelsPerRow) {
    // 5 x 3: a hole inside row 0, a key-only row, a run reaching the row's end.
    const TBitmap32 holes = Picture(5, 3,
                                    {A, B, K, A, K, //
                                     K, K, K, K, K, //
                                     K, K, A, A, B});
    const TRunsCase cases[] = {
        {"holes", holes, false, {{0, 0, 2, 1}, {3, 0, 4, 1}, {2, 2, 5, 3}}},
        {"all key", TBitmap32(4, 2, K), false, {}},
        {"flipped", holes, true, {{2, 0, 5, 1}, {0, 2, 2, 3}, {3, 2, 4, 3}}},
        {"no key at all", TBitmap32(3, 1, A), false, {{0, 0, 3, 1}}},
    };
    for (const TRunsCase& c : cases) {
        TBitmap32 b = c.Picture;
        if (c.Flip) FlipBitmapVertical(b);
        EXPECT_EQ(RegionFromBitmap(b, K), c.Runs) << c.Name;
    }
}

TEST(KeyColorRunsTest, FlipTwiceRestoresAndKeepsTheMiddleRowOfAnOddHeight) {
    const TBitmap32 p = Picture(2, 3, {A, K, B, B, K, A});
    TBitmap32 f = p;
    FlipBitmapVertical(f);
    EXPECT_EQ(f.Pixel(0, 0), K);
    EXPECT_EQ(f.Pixel(0, 1), B);
    EXPECT_EQ(f.Pixel(1, 2), K);
    FlipBitmapVertical(f);
    EXPECT_TRUE(f == p);
}
} // namespace
