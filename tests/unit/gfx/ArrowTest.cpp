#include "gfx/Arrow.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
void ExpectPoint(TFloatPoint p, float x, float y, const char* what) {
    EXPECT_NEAR(p.X, x, 1e-3) << what;
    EXPECT_NEAR(p.Y, y, 1e-3) << what;
}
float Distance(TFloatPoint a, TFloatPoint b) {
    return std::hypot(a.X - b.X, a.Y - b.Y);
}
} // namespace

TEST(Arrow, HeadSizeIsThreeTimesTheWidthButAtLeastFour) {
    const struct {
        float Width, Size;
    } cases[] = {{0.5f, 4}, {1, 4}, {1.2f, 3.6f}, {1.5f, 4.5f}, {2, 6}, {5, 15}, {20, 60}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(TArrow::HeadSize(c.Width), c.Size) << c.Width;
}

// Pointing right from (0, 0) to (100, 0): u = (-1, 0), the notch lies s + 6
// behind the tip and the barbs s / (2 sqrt 3) further back, s / 2 aside.
TEST(Arrow, GeometryForWidthsOneAndFive) {
    const struct {
        float Width, Notch, BarbX, HalfWidth;
    } cases[] = {{1, 90, 90 - 2 / std::sqrt(3.0f), 2}, {5, 79, 79 - 7.5f / std::sqrt(3.0f), 7.5f}};
    for (const auto& c : cases) {
        const TArrow a({0, 0}, {100, 0}, c.Width);
        ASSERT_EQ(a.Head().size(), 4u);
        ExpectPoint(a.ShaftStart(), 0, 0, "shaft start");
        ExpectPoint(a.ShaftEnd(), c.Notch, 0, "notch");
        ExpectPoint(a.Head()[0], c.Notch, 0, "B");
        ExpectPoint(a.Head()[1], c.BarbX, -c.HalfWidth, "W1");
        ExpectPoint(a.Head()[2], 100, 0, "T");
        ExpectPoint(a.Head()[3], c.BarbX, c.HalfWidth, "W2");
    }
    // Any direction: 15 wide and the notch 21 behind the tip at width 5.
    const TArrow diagonal({10, 70}, {50, 20}, 5);
    EXPECT_NEAR(Distance(diagonal.Head()[1], diagonal.Head()[3]), 15, 1e-3);
    EXPECT_NEAR(Distance(diagonal.ShaftEnd(), {50, 20}), 21, 1e-3);
}

TEST(Arrow, ShortArrowHasItsNotchBehindTheStart) {
    const TArrow a({95, 0}, {100, 0}, 5);
    ExpectPoint(a.ShaftEnd(), 79, 0, "notch");
    ExpectPoint(a.ShaftStart(), 95, 0, "start");
}

TEST(Arrow, NoDirectionDrawsNothing) {
    const TArrow a({7, 7}, {7, 7}, 5);
    EXPECT_TRUE(a.Head().empty());
    TBitmap32 b(20, 20);
    a.Draw(b, 0xFFFF0000);
    EXPECT_EQ(b, TBitmap32(20, 20));
}

// Width 5 along row 20 (pixel centres), tip at x = 60.5: the shaft covers
// rows 18..22, the head's upper edge runs from W1 (35.17, 13) to the tip and
// passes y = 15.3 at x = 43.
TEST(Arrow, DrawsShaftAndHead) {
    TBitmap32 b(70, 40);
    const TColor32 red = 0xFFFF0000;
    TArrow({10.5f, 20.5f}, {60.5f, 20.5f}, 5).Draw(b, red);
    for (int y = 18; y <= 22; ++y)
        EXPECT_EQ(b.Pixel(25, y), red) << y;
    EXPECT_EQ(b.Pixel(25, 17), 0u);
    EXPECT_EQ(b.Pixel(25, 23), 0u);
    EXPECT_EQ(b.Pixel(9, 20), 0u); // butt end
    EXPECT_EQ(b.Pixel(42, 16), red);
    EXPECT_EQ(b.Pixel(42, 24), red);
    EXPECT_EQ(b.Pixel(42, 14), 0u);
    EXPECT_EQ(b.Pixel(42, 26), 0u);
    EXPECT_EQ(b.Pixel(61, 20), 0u);
    EXPECT_EQ(b.Pixel(55, 20), red);
    // The shaft ends at the notch (39.5) in the middle of a pixel the head
    // covers from there on: no lighter seam.
    for (int y = 18; y <= 22; ++y)
        EXPECT_EQ(b.Pixel(39, y), red) << y;
}
