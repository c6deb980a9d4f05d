#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
constexpr TColor32 White = 0xFFFFFFFF;
const TFontDesc Font{L"Test", 8, 0}; // fake: advance 6, line height 12

// Which pixels of a 24 x 20 white bitmap changed, as '#' rows.
std::vector<std::string> Marks(const TBitmap32& b) {
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x)
            row += b.Pixel(x, y) == White ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

TEST(DrawText, GlyphsLandAtThePositionInTheColour) {
    TFakeTextRasterizer text;
    TBitmap32 b(24, 20, White);
    DrawTextAt(b, 1, 2, L"A B", Font, 0xFF102030, text);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x) {
            // Glyph boxes [1, 6) and [13, 18) (the space in between is empty).
            const bool in = y >= 2 && y < 14 && ((x >= 1 && x < 6) || (x >= 13 && x < 18));
            ASSERT_EQ(b.Pixel(x, y), in ? 0xFF102030 : White) << x << "," << y;
        }
}

TEST(DrawText, CenteredInBoxAndClipped) {
    TFakeTextRasterizer text;
    TBitmap32 b(24, 20, White);
    // "AB" is 12 x 12; in (0,0)-(20,20) it starts at (4, 4).
    DrawTextCentered(b, {0, 0, 20, 20}, L"AB", Font, 0xFF000000, text, TRect{0, 0, 24, 10});
    const auto m = Marks(b);
    EXPECT_EQ(m[3], std::string(24, '.'));
    EXPECT_EQ(m[4], "....#####.#####.........");
    EXPECT_EQ(m[9], "....#####.#####.........");
    EXPECT_EQ(m[10], std::string(24, '.')); // below the clip
    // Text wider than the box, beyond the bitmap's left and top edges:
    // 24 x 12 in a 4 x 10 box at (-2, -8) starts at (-12, -9), so the
    // glyphs [0, 5) and [6, 11) show in rows 0 to 2.
    TBitmap32 edge(24, 20, White);
    DrawTextCentered(edge, {-2, -8, 2, 2}, L"ABCD", Font, 0xFF000000, text);
    EXPECT_EQ(Marks(edge)[0], "#####.#####.............");
    EXPECT_EQ(Marks(edge)[2], "#####.#####.............");
    EXPECT_EQ(Marks(edge)[3], std::string(24, '.'));
}

TEST(DrawText, CoverageScalesTheColourAlpha) {
    TCoverageMask mask(3, 1);
    mask.Coverage = {255, 128, 0};
    TBitmap32 b(3, 1, White);
    DrawCoverageMask(b, 0, 0, mask, 0xFF000000, b.BoundsRect());
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u);
    // Coverage 128 of opaque black: Fa = (255*128 + 127) div 255 = 128;
    // A (65408 + (128-255)*128) div 256 = 192, RGB (65408 - 255*128) div 256 = 128.
    EXPECT_EQ(b.Pixel(1, 0), 0xC0808080u);
    EXPECT_EQ(b.Pixel(2, 0), White);

    TBitmap32 clear(1, 1, 0x00FFFFFF), merged(1, 1, 0x00FFFFFF);
    DrawCoverageMask(clear, 0, 0, mask, 0x66353739, clear.BoundsRect());
    DrawCoverageMask(merged, 0, 0, mask, 0x66353739, merged.BoundsRect(), cmMerge);
    EXPECT_EQ(clear.Pixel(0, 0), 0x29AFAFB0u); // blend over transparent white
    EXPECT_EQ(merged.Pixel(0, 0), 0x66353739u);

    TCoverageMask broken(4, 4);
    broken.Coverage.resize(3);
    EXPECT_THROW(DrawCoverageMask(b, 0, 0, broken, White, b.BoundsRect()), std::invalid_argument);
}

TEST(DrawText, NothingToDrawRendersNothing) {
    TFakeTextRasterizer text;
    TBitmap32 b(10, 10, White);
    DrawTextAt(b, 0, 0, L"", Font, 0xFF000000, text);
    DrawTextAt(b, 50, 0, L"far away", Font, 0xFF000000, text);
    EXPECT_EQ(text.RenderCalls, 0);
    EXPECT_EQ(b, TBitmap32(10, 10, White));
    EXPECT_EQ(Font.Scaled(4).Size, 32);
}
TEST(DrawTextInRect, AveragesSupersampledBlocksAndCentresTheResult) {
    // Level 1 renders at size 8: 6 x 12, enlarged to 8 x 14, averaged to
    // 4 x 7. Columns: two full, one half (sum 510 >> 2 = 127), one empty.
    TFakeTextRasterizer text;
    TBitmap32 b(30, 30, 0xFF000000);
    const TRect drawn =
        DrawTextInRect(b, {10, 10, 20, 20}, L"A", false, 1, 0x80FFFFFF, {L"T", 4, 0}, text);
    EXPECT_EQ(text.LastFont.Size, 8);
    EXPECT_EQ(drawn, (TRect{13, 11, 17, 18}));
    // 50 % white over black; the half column at alpha 64.
    EXPECT_EQ(b.Pixel(13, 11), 0xC0808080u);
    EXPECT_EQ(b.Pixel(14, 16), 0xC0808080u);
    EXPECT_EQ(b.Pixel(15, 11), 0xCF404040u);
    EXPECT_EQ(b.Pixel(16, 11), 0xFF000000u);
    EXPECT_EQ(b.Pixel(13, 17), 0xFF000000u);

    TBitmap32 left(30, 30, 0xFF000000);
    DrawTextInRect(left, {10, 10, 20, 20}, L"A", true, 9, White, {L"T", 1, 0}, text);
    EXPECT_EQ(text.LastFont.Size, 16);          // levels above 4 count as 4
    EXPECT_EQ(left.Pixel(10, 14), 0xC8AEAEAEu); // 11 of 16 columns: coverage 175
    EXPECT_EQ(left.Pixel(9, 14), 0xFF000000u);
}
} // namespace
