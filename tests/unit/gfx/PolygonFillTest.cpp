#include "gfx/PolygonFill.h"
#include "gfx/Stroker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <stdexcept>

namespace {
constexpr double Pi = std::numbers::pi;
constexpr TColor32 White = 0xFFFFFFFF;
constexpr TColor32 Dim = 0x66353739;
constexpr TColor32 DimOverWhite = 0xC2AFAFB0; // hand-computed in BlendTest

TPolygon Box(float l, float t, float r, float b) {
    return {{l, t}, {r, t}, {r, b}, {l, b}};
}
TPolygon Reversed(TPolygon p) {
    return {p.rbegin(), p.rend()};
}

// Opaque white over transparent black leaves (128 + 255*a) div 256 in every
// channel, within one level of the coverage alpha a: blue / 255 ~ coverage.
double CoverageAt(const TBitmap32& b, int x, int y) {
    return (b.Pixel(x, y) & 0xFF) / 255.0;
}

TEST(PolygonFill, PixelAlignedRectangleGetsExactlyTheColour) {
    for (const int n : {1, 4, 16, 32}) {
        TBitmap32 opaque(10, 8, White), dimmed(10, 8, White);
        const TPolygon box = Box(2, 3, 7, 6);
        PolygonFillAA(opaque, box, 0xFF123456, n);
        PolygonFillAA(dimmed, box, Dim, n);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool in = x >= 2 && x < 7 && y >= 3 && y < 6;
                ASSERT_EQ(opaque.Pixel(x, y), in ? 0xFF123456 : White)
                    << n << ": " << x << "," << y;
                ASSERT_EQ(dimmed.Pixel(x, y), in ? DimOverWhite : White)
                    << n << ": " << x << "," << y;
            }
    }
}

TEST(PolygonFill, FractionalEdgesGetPartialCoverageWithinOneSubsample) {
    for (const int n : {4, 5, 16, 32})
        for (const float f : {0.25f, 0.5f, 0.75f}) {
            // Left edge at x = 2 + f, top edge at y = 3 + f.
            TBitmap32 b(10, 10);
            PolygonFillAA(b, Box(2 + f, 3 + f, 8, 9), White, n);
            const double tolerance = 1.0 / n + 1.0 / 255;
            EXPECT_NEAR(CoverageAt(b, 2, 5), 1 - f, tolerance) << n << " " << f;
            EXPECT_NEAR(CoverageAt(b, 5, 3), 1 - f, tolerance) << n << " " << f;
            EXPECT_NEAR(CoverageAt(b, 2, 3), (1 - f) * (1 - f), tolerance) << n << " " << f;
            EXPECT_EQ(b.Pixel(5, 5), White);
        }
}

TEST(PolygonFill, NonZeroRuleCoversOverlapsOnceAndCancelsOppositeWindings) {
    // Two same-direction squares overlapping in (4,4)-(6,6): one alpha level.
    TBitmap32 same(10, 10, White);
    const TPolygon twoSquares[] = {Box(1, 1, 6, 6), Box(4, 4, 9, 9)};
    PolygonFillAA(same, twoSquares, Dim, 16);
    EXPECT_EQ(same.Pixel(5, 5), DimOverWhite);
    EXPECT_EQ(same.Pixel(2, 2), DimOverWhite);
    EXPECT_EQ(same.Pixel(8, 8), DimOverWhite);
    EXPECT_EQ(same.Pixel(8, 2), White);

    // An inner contour wound the other way is a hole.
    TBitmap32 hole(10, 10, White);
    const TPolygon ring[] = {Box(1, 1, 9, 9), Reversed(Box(3, 3, 7, 7))};
    PolygonFillAA(hole, ring, Dim, 16);
    EXPECT_EQ(hole.Pixel(2, 2), DimOverWhite);
    EXPECT_EQ(hole.Pixel(5, 5), White);
}

TEST(PolygonFill, SelfCrossingContoursAreCoveredOnce) {
    // Five-pointed star drawn in one stroke: the centre pentagon has winding
    // number 2 and must look like the points (winding 1).
    TPolygon star;
    for (int i = 0; i < 5; ++i) {
        const double a = -Pi / 2 + i * 4 * Pi / 5;
        star.push_back({float(20 + 18 * std::cos(a)), float(20 + 18 * std::sin(a))});
    }
    TBitmap32 b(40, 40, White);
    PolygonFillAA(b, star, Dim, 16);
    EXPECT_EQ(b.Pixel(20, 20), DimOverWhite); // centre
    EXPECT_EQ(b.Pixel(20, 5), DimOverWhite);  // top point
    EXPECT_EQ(b.Pixel(2, 2), White);

    // Figure eight: the two lobes wind in opposite directions; both filled.
    TBitmap32 eight(12, 12, White);
    PolygonFillAA(eight, TPolygon{{0, 0}, {12, 12}, {12, 0}, {0, 12}}, Dim, 16);
    EXPECT_EQ(eight.Pixel(1, 6), DimOverWhite);
    EXPECT_EQ(eight.Pixel(10, 6), DimOverWhite);
    EXPECT_EQ(eight.Pixel(6, 1), White);
}

// Brute force beside the fast path: the same sub-scanlines, each sampled at
// 64 points per pixel, winding counted edge by edge.
double ReferenceCoverage(std::span<const TPolygon> shape, int px, int py, int n) {
    int covered = 0;
    for (int s = 0; s < n; ++s) {
        const double y = py + (s + 0.5) / n;
        for (int h = 0; h < 64; ++h) {
            const double x = px + (h + 0.5) / 64;
            int winding = 0;
            for (const auto& c : shape)
                for (std::size_t i = 0; i < c.size(); ++i) {
                    const TFloatPoint a = c[i], b = c[(i + 1) % c.size()];
                    if ((a.Y <= y) == (b.Y <= y)) continue;
                    const double cx = a.X + (y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
                    if (cx < x) winding += b.Y > a.Y ? 1 : -1;
                }
            covered += winding != 0;
        }
    }
    return covered / (64.0 * n);
}

TEST(PolygonFill, MatchesBruteForceOnRandomSelfIntersectingShapes) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-4, 36);
    for (int round = 0; round < 6; ++round) {
        std::vector<TPolygon> shape(1 + round % 3);
        for (auto& c : shape)
            for (int i = 0; i < 7; ++i)
                c.push_back({coord(rng), coord(rng)});
        const int n = round % 2 ? 16 : 4;
        TBitmap32 b(32, 32);
        PolygonFillAA(b, shape, White, n);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_NEAR(CoverageAt(b, x, y), ReferenceCoverage(shape, x, y, n), 0.03)
                    << "round " << round << " pixel " << x << "," << y;
    }
}

TEST(PolygonFill, WideRowsMatchTheirPartsFilledApartAndTheBruteForce) {
    // Rows over 1024 px wide with a few edges: the fill skips the empty
    // middle in blocks, which must not change a pixel.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> at(0, 2990), dx(-6, 6), y(0, 40);
    for (int round = 0; round < 4; ++round) {
        std::vector<TPolygon> slivers;
        for (int i = 0; i < 3; ++i) {
            const float x = at(rng);
            slivers.push_back({{x, y(rng)}, {x + 4 + dx(rng), y(rng)}, {x + dx(rng), y(rng)}});
        }
        TBitmap32 together(3000, 40), apart(3000, 40);
        PolygonFillAA(together, slivers, White, 16);
        for (const TPolygon& p : slivers)
            PolygonFillAA(apart, std::span(&p, 1), White, 16);
        ASSERT_TRUE(together == apart) << "round " << round;
    }
    const std::vector<TPolygon> wide = {
        {{3.3f, 2.7f}, {2900.6f, 5.2f}, {2950.1f, 37.9f}, {10.4f, 35.5f}}};
    TBitmap32 b(3000, 40);
    PolygonFillAA(b, wide, White, 16);
    for (const int x : {3, 4, 10, 11, 1023, 1024, 1040, 2047, 2048, 2920, 2949, 2950})
        for (const int py : {2, 3, 20, 35, 37})
            ASSERT_NEAR(CoverageAt(b, x, py), ReferenceCoverage(wide, x, py, 16), 0.03)
                << x << "," << py;
}

TEST(PolygonFill, BandsHoldEveryFilledPixelAndHugALongDiagonal) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> coord(-20, 420);
    for (int round = 0; round < 8; ++round) {
        std::vector<TFloatPoint> path;
        for (int i = 0; i < 2 + round; ++i)
            path.push_back({coord(rng), coord(rng)});
        const std::vector<TPolygon> outline =
            TStroker{float(1 + round), esRound, jsRound}.Outline(path);
        TBitmap32 b(400, 400);
        PolygonFillAA(b, outline, White, 16);
        const std::vector<TRect> bands = PolygonBands(outline, b.BoundsRect(), 1 + round * 5);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x) {
                if (b.Pixel(x, y) == 0) continue;
                bool held = false;
                for (const TRect& r : bands)
                    held = held || r.Contains(x, y);
                ASSERT_TRUE(held) << "round " << round << " pixel " << x << "," << y;
            }
    }
    const TFloatPoint diagonal[] = {{10.5f, 10.5f}, {390.5f, 300.5f}};
    const std::vector<TPolygon> line = TStroker{5, esButt, jsBevel}.Outline(diagonal);
    std::int64_t area = 0;
    for (const TRect& r : PolygonBands(line, {0, 0, 400, 400}))
        area += std::int64_t(r.Width()) * r.Height();
    EXPECT_LT(area, PolygonBounds(line).Width() * PolygonBounds(line).Height() / 4);
}

TEST(PolygonFill, ClipsToTheClipRectAndTheBitmap) {
    TBitmap32 b(12, 12, White);
    PolygonFillAA(b, std::vector<TPolygon>{Box(-100, -100, 100, 100)}, 0xFF000000, 16,
                  TRect{3, 4, 20, 7});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(b.Pixel(x, y), (x >= 3 && y >= 4 && y < 7) ? 0xFF000000 : White);
    // Entirely outside, huge or non-finite coordinates: nothing, and no crash.
    const TBitmap32 before = b;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    PolygonFillAA(b, Box(20, 20, 30, 30), 0xFF00FF00);
    PolygonFillAA(b, TPolygon{{nan, 1}, {5, nan}, {inf, 3}}, 0xFF00FF00);
    PolygonFillAA(b, TPolygon{{-3e38f, -3e38f}, {3e38f, -3e38f}, {0, -1e30f}}, 0xFF00FF00);
    PolygonFillAA(b, TPolygon{{1, 1}, {5, 5}}, 0xFF00FF00); // degenerate, no area
    EXPECT_EQ(b, before);
    EXPECT_THROW(PolygonFillAA(b, Box(0, 0, 1, 1), White, 0), std::invalid_argument);
}

TEST(PolygonFill, HugeCoordinatesStillFillTheVisiblePart) {
    TBitmap32 b(6, 6);
    PolygonFillAA(b, TPolygon{{-1e30f, -1e30f}, {1e30f, -1e30f}, {1e30f, 1e30f}, {-1e30f, 1e30f}},
                  White);
    EXPECT_EQ(b, TBitmap32(6, 6, White));
    // A contour far below a visible one.
    TBitmap32 c(6, 6);
    const TPolygon pair[] = {Box(1, 1, 3, 3), Box(0, 1e30f, 5, 2e30f)};
    PolygonFillAA(c, pair, White);
    EXPECT_EQ(c.Pixel(2, 2), White);
    EXPECT_EQ(c.Pixel(2, 4), 0u);
}

TEST(Disc, SymmetricAndAreaWithinOnePercent) {
    for (const float r : {4.0f, 6.0f, 20.0f, 50.5f}) {
        const int size = 2 * int(std::ceil(r)) + 4;
        const float c = size / 2.0f; // a pixel corner: mirror pixel of x is size-1-x
        TBitmap32 b(size, size);
        FillDiscAA(b, c, c, r, White, 16);
        double area = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int v = int(b.Pixel(x, y) & 0xFF);
                area += v / 255.0;
                ASSERT_NEAR(v, int(b.Pixel(size - 1 - x, y) & 0xFF), 1)
                    << r << ": " << x << "," << y;
                ASSERT_NEAR(v, int(b.Pixel(x, size - 1 - y) & 0xFF), 1)
                    << r << ": " << x << "," << y;
            }
        EXPECT_NEAR(area, Pi * r * r, 0.01 * Pi * r * r) << "r = " << r;
    }
    EXPECT_TRUE(DiscPolygon(5, 5, 0).empty());
}

TEST(Bezier, FlattenEndsAtTheEndPointAndStaysNearTheCurve) {
    std::vector<TFloatPoint> out;
    FlattenCubicBezier({0, 0}, {0, 0}, {10, 10}, {10, 10}, out); // a straight line
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), (TFloatPoint{10, 10}));
    for (const auto p : out)
        EXPECT_NEAR(p.X, p.Y, 1e-4);
    // Every vertex of a flattened circle lies on the circle (kappa error
    // ~0.03 %), and neighbouring vertices are close enough for the 0.1 px
    // tolerance of a disc this large.
    const TPolygon disc = DiscPolygon(0, 0, 100);
    ASSERT_GT(disc.size(), 16u);
    for (std::size_t i = 0; i < disc.size(); ++i) {
        EXPECT_NEAR(std::hypot(disc[i].X, disc[i].Y), 100, 0.05);
        const auto q = disc[(i + 1) % disc.size()];
        // Sagitta of a chord of length l on radius 100: l^2 / 800.
        const double l = std::hypot(q.X - disc[i].X, q.Y - disc[i].Y);
        EXPECT_LE(l * l / 800, 0.1);
    }
}
} // namespace
