#include "gfx/Stroker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numbers>
#include <vector>

namespace {
constexpr TColor32 White = 0xFFFFFFFF;

// Opaque white over transparent black: blue / 255 is the coverage within one
// level.
double CoverageAt(const TBitmap32& b, int x, int y) {
    return (b.Pixel(x, y) & 0xFF) / 255.0;
}

TBitmap32 Stroke(std::vector<TFloatPoint> pts, float width, TEndStyle ends, TJoinStyle joins,
                 int w = 30, int h = 30) {
    TBitmap32 b(w, h);
    TStroker{width, ends, joins}.Draw(b, pts, White);
    return b;
}
} // namespace

TEST(Stroker, ButtLineCoversExactlyItsRectangle) {
    const TBitmap32 b = Stroke({{2, 5}, {8, 5}}, 2, esButt, jsBevel, 12, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool in = x >= 2 && x < 8 && y >= 4 && y < 6;
            ASSERT_EQ(b.Pixel(x, y), in ? White : 0u) << x << "," << y;
        }
}

// A round cap of width 2 is a half disc of radius 1 past each end: the two
// pixels beside an end hold a quarter disc each.
TEST(Stroker, RoundCapsAddHalfDiscsAtTheEnds) {
    const TBitmap32 b = Stroke({{2, 5}, {8, 5}}, 2, esRound, jsRound, 12, 10);
    for (const auto& [x, y] : {std::pair{1, 4}, {1, 5}, {8, 4}, {8, 5}})
        EXPECT_NEAR(CoverageAt(b, x, y), std::numbers::pi / 4, 0.03) << x << "," << y;
    EXPECT_EQ(b.Pixel(0, 5), 0u);
    EXPECT_EQ(b.Pixel(9, 4), 0u);
    EXPECT_EQ(b.Pixel(5, 3), 0u);
    EXPECT_EQ(b.Pixel(5, 5), White);
}

// An L turning at (15, 5), width 6. The bevel closes the outer corner with
// the line from (15, 2) to (18, 5), which halves pixels (15, 2) and (16, 3)
// and leaves (17, 3) out; the round join reaches 3 px from the corner and
// covers about half of (17, 3).
TEST(Stroker, JoinsFillTheOuterCorner) {
    const std::vector<TFloatPoint> ell = {{5, 5}, {15, 5}, {15, 15}};
    const TBitmap32 bevel = Stroke(ell, 6, esButt, jsBevel);
    EXPECT_NEAR(CoverageAt(bevel, 15, 2), 0.5, 0.07);
    EXPECT_NEAR(CoverageAt(bevel, 16, 3), 0.5, 0.07);
    EXPECT_NEAR(CoverageAt(bevel, 17, 3), 0.0, 0.01);
    EXPECT_EQ(bevel.Pixel(14, 6), White); // inner side
    const TBitmap32 round = Stroke(ell, 6, esButt, jsRound);
    EXPECT_NEAR(CoverageAt(round, 17, 3), 0.5, 0.15);
    EXPECT_EQ(round.Pixel(15, 3), White);
    EXPECT_EQ(round.Pixel(17, 1), 0u);
    // The same turn the other way round covers the mirrored corner.
    const TBitmap32 mirrored = Stroke({{15, 15}, {15, 5}, {5, 5}}, 6, esButt, jsBevel);
    EXPECT_EQ(mirrored, bevel);
}

// Red at alpha 128 over white, once: alpha (256*255 + 128 - 127*128) div 256
// = 192, green (256*255 + 128 - 255*128) div 256 = 128; a pixel covered twice
// would drop to green 64. The path crosses itself at (15, 15) and doubles
// back over its joins.
TEST(Stroker, SelfCrossingTranslucentStrokeHasOneAlphaLevel) {
    for (const TJoinStyle joins : {jsBevel, jsRound}) {
        TBitmap32 b(30, 30, White);
        TStroker{5, esRound, joins}.Draw(
            b, std::vector<TFloatPoint>{{5, 5}, {25, 25}, {25, 5}, {5, 25}, {20, 10}}, 0x80FF0000);
        int minGreen = 255;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                minGreen = std::min(minGreen, int(b.Pixel(x, y) >> 8 & 0xFF));
        EXPECT_EQ(minGreen, 128) << joins;
        EXPECT_EQ(b.Pixel(15, 15), 0xC0FF8080u) << joins;
        EXPECT_EQ(b.Pixel(10, 10), 0xC0FF8080u) << joins;
    }
}

// The rectangle tool's path: four sides from the start corner back to it,
// round ends and joins, width 4 on pixel centres. Every corner, the start
// where both ends meet included, is covered once; outer corners are rounded,
// so pixel (3, 3), more than 2 px from the corner (5.5, 5.5), stays out.
TEST(Stroker, ClosedRectangleOutlineIsCoveredOnceWithRoundCorners) {
    TBitmap32 b(26, 21, White);
    const std::vector<TFloatPoint> path = {
        {5.5f, 5.5f}, {20.5f, 5.5f}, {20.5f, 15.5f}, {5.5f, 15.5f}, {5.5f, 5.5f}};
    TStroker{4, esRound, jsRound}.Draw(b, path, 0x80FF0000);
    for (const auto& [x, y] : {std::pair{5, 5}, {20, 5}, {20, 15}, {5, 15}, {12, 5}, {5, 10}})
        EXPECT_EQ(b.Pixel(x, y), 0xC0FF8080u) << x << "," << y;
    EXPECT_EQ(b.Pixel(3, 3), White);
    EXPECT_EQ(b.Pixel(22, 17), White);
    EXPECT_EQ(b.Pixel(12, 10), White);
    int minGreen = 255;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 26; ++x)
            minGreen = std::min(minGreen, int(b.Pixel(x, y) >> 8 & 0xFF));
    EXPECT_EQ(minGreen, 128);
}

TEST(Stroker, DegenerateInputGivesNoOutline) {
    constexpr float Inf = std::numeric_limits<float>::infinity();
    const struct {
        std::vector<TFloatPoint> Points;
        float Width;
    } cases[] = {
        {{}, 5},
        {{{3, 3}}, 5},
        {{{3, 3}, {3, 3}, {3, 3}}, 5}, // equal points count once
        {{{3, 3}, {9, 3}}, 0},
        {{{3, 3}, {9, 3}}, -2},
        {{{3, 3}, {Inf, 3}}, 5},
    };
    for (const auto& c : cases)
        for (const TEndStyle ends : {esButt, esRound})
            EXPECT_TRUE((TStroker{c.Width, ends, jsRound}.Outline(c.Points).empty()))
                << c.Points.size() << " " << c.Width;
    // Repeated points inside a path are skipped, not turned into joins.
    const TStroker s{4, esButt, jsBevel};
    EXPECT_EQ(s.Outline(std::vector<TFloatPoint>{{3, 3}, {3, 3}, {9, 3}, {9, 3}}).size(), 1u);
}
