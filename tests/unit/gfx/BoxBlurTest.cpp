#include "gfx/BoxBlur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace {
// Straight from the definition: clamped window sums per channel, each pass
// rounding down.
TBitmap32 ReferenceBlur(const TBitmap32& src, int r) {
    const int w = src.Width(), h = src.Height(), d = 2 * r + 1;
    std::vector<unsigned> pass(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                unsigned sum = 0;
                for (int j = x - r; j <= x + r; ++j)
                    sum += (src.Pixel(std::clamp(j, 0, w - 1), y) >> (8 * c)) & 0xFF;
                pass[(std::size_t(y) * w + x) * 4 + c] = sum / d;
            }
    TBitmap32 out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor32 px = 0;
            for (int c = 0; c < 4; ++c) {
                unsigned sum = 0;
                for (int j = y - r; j <= y + r; ++j)
                    sum += pass[(std::size_t(std::clamp(j, 0, h - 1)) * w + x) * 4 + c];
                px |= TColor32(sum / d) << (8 * c);
            }
            out.SetPixel(x, y, px);
        }
    return out;
}
} // namespace

// Blue steps from 0 to 255 at x = 6, red at y = 6. Each value is
// floor(k * 255 / 11) for the k pixels of the 11-wide window that lie past
// the step, the repeated edge pixels included (k = 0 .. 11).
TEST(BoxBlur, StepsBlurIntoHandComputedRamps) {
    constexpr int Ramp[12] = {0, 23, 46, 69, 92, 115, 139, 162, 185, 208, 231, 255};
    TBitmap32 b(12, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            b.SetPixel(x, y, 0xFF000000u | (y >= 6 ? 0xFF0000u : 0) | (x >= 6 ? 0xFFu : 0));
    BoxBlur(b, 5);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(b.Pixel(x, y), 0xFF000000u | TColor32(Ramp[y]) << 16 | TColor32(Ramp[x]))
                << x << "," << y;
}

// Narrower than the radius: x = 0 sees 0 six times, 11 once and 22 four
// times: 99 / 11 = 9; x = 1: 121 / 11 = 11; x = 2: 143 / 11 = 13. The
// alpha 0x40 and the 2 rows stay as they are.
TEST(BoxBlur, ImageSmallerThanTheWindowRepeatsItsEdges) {
    TBitmap32 b(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.SetPixel(x, y, 0x40000000u | TColor32(11 * x));
    BoxBlur(b, 5);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(b.Pixel(0, y), 0x40000009u);
        EXPECT_EQ(b.Pixel(1, y), 0x4000000Bu);
        EXPECT_EQ(b.Pixel(2, y), 0x4000000Du);
    }
}

// Radius 1 rounds down twice: the single 255 gives 255 / 3 = 85 in its row,
// then 85 / 3 = 28 in every pixel of the 3 x 3 image.
TEST(BoxBlur, EachPassRoundsDown) {
    TBitmap32 b(3, 3);
    b.SetPixel(1, 1, 0xFFFFFFFF);
    BoxBlur(b, 1);
    EXPECT_EQ(b, TBitmap32(3, 3, 0x1C1C1C1C));
}

TEST(BoxBlur, MatchesTheDefinitionOnRandomImages) {
    std::mt19937 rng(7);
    const struct {
        int W, H, R;
    } cases[] = {{1, 1, 5},   {7, 1, 5},   {1, 9, 5},   {6, 6, 5},    {40, 23, 5},  {5, 40, 5},
                 {33, 17, 1}, {20, 20, 3}, {9, 30, 12}, {60, 31, 12}, {300, 3, 128}};
    for (const auto& c : cases) {
        TBitmap32 b(c.W, c.H);
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x)
                b.SetPixel(x, y, TColor32(rng()));
        const TBitmap32 expected = ReferenceBlur(b, c.R);
        BoxBlur(b, c.R);
        EXPECT_EQ(b, expected) << c.W << "x" << c.H << " r" << c.R;
    }
}

TEST(BoxBlur, RadiusZeroAndEmptyImagesAreLeftAlone) {
    TBitmap32 b(4, 4, 0x12345678);
    b.SetPixel(2, 2, 0xFFFFFFFF);
    const TBitmap32 before = b;
    BoxBlur(b, 0);
    EXPECT_EQ(b, before);
    TBitmap32 empty;
    BoxBlur(empty, 5);
    EXPECT_TRUE(empty.Empty());
    EXPECT_THROW(BoxBlur(b, -1), std::invalid_argument);
    EXPECT_THROW(BoxBlur(b, 129), std::invalid_argument);
}
