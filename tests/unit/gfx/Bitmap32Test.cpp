#include "gfx/Bitmap32.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

namespace {
constexpr TColor32 Dim = 0x66353739;
constexpr TColor32 White = 0xFFFFFFFF;
constexpr TColor32 DimOverWhite = 0xC2AFAFB0; // hand-computed in BlendTest

// Each pixel holds its own coordinates, so misplaced copies are obvious.
TBitmap32 Numbered(int w, int h, TColor32 alpha = 0xFF000000) {
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, alpha | TColor32(y << 8) | TColor32(x));
    return b;
}

struct TRectCase {
    TRect A, B, Intersection, Union;
};

TEST(Rect, IntersectUnionAndEmptiness) {
    const TRectCase cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, {0, 0, 15, 15}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {}, {0, 0, 20, 10}}, // touching: no common pixel
        {{0, 0, 10, 10}, {3, 3, 3, 8}, {}, {0, 0, 10, 10}},    // empty operand ignored
        {{5, 5, 1, 1}, {0, 0, 10, 10}, {}, {0, 0, 10, 10}},    // inverted counts as empty
        {{-5, -5, 2, 2}, {-1, -10, 1, 10}, {-1, -5, 1, 2}, {-5, -10, 2, 10}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.A.Intersect(c.B), c.Intersection);
        EXPECT_EQ(c.B.Intersect(c.A), c.Intersection);
        EXPECT_EQ(c.A.Union(c.B), c.Union);
    }
    EXPECT_EQ((TRect{5, 8, 1, 2}.Normalized()), (TRect{1, 2, 5, 8}));
    EXPECT_TRUE((TRect{5, 8, 1, 2}.IsEmpty()));
    EXPECT_EQ((TRect{1, 2, 5, 8}.Width()), 4);
}

TEST(Bitmap32, SizeRulesAndCheckedPixelAccess) {
    EXPECT_THROW(TBitmap32(-1, 4), std::invalid_argument);
    TBitmap32 b(3, 2, White);
    b.SetSize(3, 2); // same size keeps the pixels
    EXPECT_EQ(b.Pixel(2, 1), White);
    b.SetSize(2, 3);
    EXPECT_EQ(b.Pixel(1, 2), 0u);
    EXPECT_THROW(b.SetSize(1, -1), std::invalid_argument);
    b.SetPixel(-1, 0, White);
    b.SetPixel(2, 0, White);
    b.SetPixel(0, 3, White);
    EXPECT_EQ(b, TBitmap32(2, 3));
    EXPECT_EQ(b.Pixel(-1, 0), 0u);
    EXPECT_EQ(b.Pixel(0, 99), 0u);
    TBitmap32 empty;
    empty.Clear(White);
    empty.FillRect({0, 0, 5, 5}, White);
    EXPECT_TRUE(empty.Empty());
}

TEST(Bitmap32, FillsAreClippedAtEveryBorderAndSkipEmptyRects) {
    const TRect rects[] = {
        {-3, 1, 2, 3}, {6, 1, 20, 3}, {1, -9, 3, 1},    {1, 4, 3, 99}, {-5, -5, 50, 50},
        {2, 2, 2, 4},  {4, 3, 1, 1},  {-9, -9, -1, -1}, {8, 0, 12, 5}, {INT_MIN, 0, INT_MAX, 1},
    };
    for (const TRect& r : rects) {
        TBitmap32 set(8, 5, White), blend(8, 5, White);
        set.FillRect(r, 0xFF123456);
        blend.FillRectBlend(r, Dim);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool in = r.Contains(x, y);
                ASSERT_EQ(set.Pixel(x, y), in ? 0xFF123456 : White) << x << "," << y;
                ASSERT_EQ(blend.Pixel(x, y), in ? DimOverWhite : White) << x << "," << y;
            }
    }
}

TEST(Bitmap32, FillRectBlendHonoursTransparentAndOpaqueColours) {
    TBitmap32 b(2, 1, White);
    b.FillRectBlend({0, 0, 1, 1}, 0x00000000);
    b.FillRectBlend({1, 0, 2, 1}, 0xFF102030);
    EXPECT_EQ(b.Pixel(0, 0), White);
    EXPECT_EQ(b.Pixel(1, 0), 0xFF102030u);
}

TEST(Bitmap32, DrawCopiesClippedAtEveryBorder) {
    const TBitmap32 src = Numbered(4, 3);
    const struct {
        int X, Y;
    } offsets[] = {{0, 0}, {-2, 0}, {0, -2}, {5, 1}, {1, 4}, {-3, -2}, {6, 4}, {-4, 0}, {9, 9}};
    for (const auto o : offsets) {
        TBitmap32 dst(7, 5, White);
        dst.Draw(o.X, o.Y, src);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const int sx = x - o.X, sy = y - o.Y;
                const bool in = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
                ASSERT_EQ(dst.Pixel(x, y), in ? src.Pixel(sx, sy) : White)
                    << "offset " << o.X << "," << o.Y << " pixel " << x << "," << y;
            }
    }
}

TEST(Bitmap32, DrawOfSourceRectClipsBothSides) {
    const TBitmap32 src = Numbered(4, 3);
    TBitmap32 dst(5, 5, White);
    // The source rectangle starts outside the source: only (0..1, 0..1)
    // exists, and lands shifted by the missing part.
    dst.Draw(1, 1, src, {-1, -1, 2, 2});
    EXPECT_EQ(dst.Pixel(1, 1), White);
    EXPECT_EQ(dst.Pixel(2, 2), src.Pixel(0, 0));
    EXPECT_EQ(dst.Pixel(3, 3), src.Pixel(1, 1));
    EXPECT_EQ(dst.Pixel(4, 4), White);
    TBitmap32 same(5, 5, White);
    same.Draw(1, 1, src, {3, 2, 1, 1}); // inverted: nothing
    EXPECT_EQ(same, TBitmap32(5, 5, White));
}

TEST(Bitmap32, DrawBlendAndMergeUseTheirRulesPerPixel) {
    TBitmap32 src(2, 1);
    src.SetPixel(0, 0, Dim);
    src.SetPixel(1, 0, 0x00ABCDEF);
    TBitmap32 opaque(3, 1, White), clear(3, 1, 0x00FFFFFF);
    opaque.DrawBlend(1, 0, src); // second source pixel falls off the right edge
    EXPECT_EQ(opaque.Pixel(0, 0), White);
    EXPECT_EQ(opaque.Pixel(1, 0), DimOverWhite);
    EXPECT_EQ(opaque.Pixel(2, 0), White);
    clear.DrawBlend(-1, 0, src);
    EXPECT_EQ(clear.Pixel(0, 0), 0x00FFFFFFu); // fully transparent source pixel
    clear.DrawBlend(0, 0, src);
    EXPECT_EQ(clear.Pixel(0, 0), 0x29AFAFB0u); // alpha ~ Fa*Fa/256 over transparent
    TBitmap32 merged(1, 1, 0x00FFFFFF);
    merged.DrawMerge(0, 0, src);
    EXPECT_EQ(merged.Pixel(0, 0), Dim); // merge keeps the source over nothing
}

TEST(Bitmap32, DrawOntoItselfBehavesAsFromACopy) {
    TBitmap32 b = Numbered(4, 4);
    const TBitmap32 before = b;
    b.Draw(1, 1, b);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            ASSERT_EQ(b.Pixel(x, y), before.Pixel(x - 1, y - 1));
}

TEST(Bitmap32, CropReturnsTheSourcePixelsOfTheClippedRect) {
    const TBitmap32 src = Numbered(6, 5);
    const TBitmap32 inner = src.Crop({1, 2, 4, 5});
    ASSERT_EQ(inner.Width(), 3);
    ASSERT_EQ(inner.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(inner.Pixel(x, y), src.Pixel(x + 1, y + 2));
    const TBitmap32 corner = src.Crop({4, -3, 10, 1});
    ASSERT_EQ(corner.Width(), 2);
    ASSERT_EQ(corner.Height(), 1);
    EXPECT_EQ(corner.Pixel(0, 0), src.Pixel(4, 0));
    EXPECT_TRUE(src.Crop({4, 4, 1, 1}).Empty());
    EXPECT_TRUE(src.Crop({7, 0, 9, 5}).Empty());
}
} // namespace
