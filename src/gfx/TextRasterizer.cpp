#include "gfx/TextRasterizer.h"

#include <algorithm>
#include <stdexcept>

void DrawCoverageMask(TBitmap32& dst, int x, int y, const TCoverageMask& mask, TColor32 colour,
                      const TRect& clip, TCombineMode mode) {
    if (mask.Coverage.size() != std::size_t(mask.Width) * std::size_t(mask.Height))
        throw std::invalid_argument("DrawCoverageMask: mask size does not match its data");
    if ((colour >> 24) == 0) return;
    const TRect placed{x, y, x + mask.Width, y + mask.Height};
    const TRect area = placed.Intersect(clip).Intersect(dst.BoundsRect());
    for (int py = area.Top; py < area.Bottom; ++py) {
        const std::uint8_t* cov =
            mask.Coverage.data() + std::size_t(py - y) * std::size_t(mask.Width);
        TColor32* row = dst.Row(py);
        for (int px = area.Left; px < area.Right; ++px) {
            const std::uint8_t c = cov[px - x];
            if (c == 0) continue;
            const TColor32 f = c == 255 ? colour : WithCoverage(colour, c);
            row[px] = mode == cmMerge ? MergeColor32(f, row[px]) : BlendColor32(f, row[px]);
        }
    }
}

void DrawTextAt(TBitmap32& dst, int x, int y, std::wstring_view text, const TFontDesc& font,
                TColor32 colour, const TTextRasterizer& rasterizer, const TRect& clip,
                TCombineMode mode) {
    if (text.empty() || dst.Empty()) return;
    const TTextExtent e = rasterizer.TextExtent(font, text);
    if (TRect{x, y, x + e.Width, y + e.Height}
            .Intersect(clip)
            .Intersect(dst.BoundsRect())
            .IsEmpty())
        return;
    const TCoverageMask mask = rasterizer.Render(font, text, e.Width, e.Height);
    DrawCoverageMask(dst, x, y, mask, colour, clip, mode);
}

void DrawTextAt(TBitmap32& dst, int x, int y, std::wstring_view text, const TFontDesc& font,
                TColor32 colour, const TTextRasterizer& rasterizer) {
    DrawTextAt(dst, x, y, text, font, colour, rasterizer, dst.BoundsRect());
}

void DrawTextCentered(TBitmap32& dst, const TRect& box, std::wstring_view text,
                      const TFontDesc& font, TColor32 colour, const TTextRasterizer& rasterizer,
                      const TRect& clip, TCombineMode mode) {
    if (text.empty()) return;
    const TTextExtent e = rasterizer.TextExtent(font, text);
    const int x = box.Left + (box.Width() - e.Width) / 2;
    const int y = box.Top + (box.Height() - e.Height) / 2;
    DrawTextAt(dst, x, y, text, font, colour, rasterizer, clip, mode);
}

void DrawTextCentered(TBitmap32& dst, const TRect& box, std::wstring_view text,
                      const TFontDesc& font, TColor32 colour, const TTextRasterizer& rasterizer) {
    DrawTextCentered(dst, box, text, font, colour, rasterizer, dst.BoundsRect());
}

TRect DrawTextInRect(TBitmap32& image, const TRect& box, std::wstring_view text, bool leftAligned,
                     int level, TColor32 colour, const TFontDesc& font,
                     const TTextRasterizer& rasterizer, TCombineMode mode) {
    if (image.Empty() || text.empty()) return {};
    level = std::clamp(level, 0, 4);
    const int block = 1 << level;
    const TFontDesc big = font.Scaled(block);
    const TTextExtent e = rasterizer.TextExtent(big, text);
    // Always one block more than the text needs, so nothing is cut off.
    const int cx = (std::max(e.Width, 0) / block + 1) * block;
    const int cy = (std::max(e.Height, 0) / block + 1) * block;
    const TCoverageMask large = rasterizer.Render(big, text, cx, cy);
    if (large.Width != cx || large.Height != cy)
        throw std::invalid_argument("DrawTextInRect: rendered mask has the wrong size");

    TCoverageMask mask(cx / block, cy / block);
    for (int y = 0; y < mask.Height; ++y)
        for (int x = 0; x < mask.Width; ++x) {
            unsigned sum = 0;
            for (int sy = 0; sy < block; ++sy) {
                const std::uint8_t* row =
                    large.Coverage.data() + std::size_t(y * block + sy) * std::size_t(cx);
                for (int sx = 0; sx < block; ++sx)
                    sum += row[x * block + sx];
            }
            mask.Coverage[std::size_t(y) * std::size_t(mask.Width) + std::size_t(x)] =
                std::uint8_t(sum >> (2 * level));
        }

    const int x = leftAligned ? box.Left : box.Left + (box.Width() - mask.Width) / 2;
    const int y = box.Top + (box.Height() - mask.Height) / 2;
    DrawCoverageMask(image, x, y, mask, colour, image.BoundsRect(), mode);
    return TRect{x, y, x + mask.Width, y + mask.Height}.Intersect(image.BoundsRect());
}
