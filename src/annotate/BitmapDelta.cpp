#include "annotate/BitmapDelta.h"

#include "gfx/RowExtents.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

TBitmapDelta TBitmapDelta::Record(TBitmap32& image, const TBitmap32& next) {
    const TRect all = image.BoundsRect();
    return Record(image, next, std::span(&all, 1));
}

TBitmapDelta TBitmapDelta::Record(TBitmap32& image, const TBitmap32& next,
                                  std::span<const TRect> within) {
    TBitmapDelta d;
    if (image.Width() != next.Width() || image.Height() != next.Height()) {
        TBitmap32 copy = next;
        d.FResize = true;
        d.FWhole = std::exchange(image, std::move(copy));
        return d;
    }
    // The columns to compare on each row: the extent of the within
    // rectangles that cross it.
    const std::vector<TRect> rows = RowExtents(within);
    TRect area;
    for (const TRect& r : rows)
        area = area.Union(r.Intersect(image.BoundsRect()));
    if (area.IsEmpty()) return d;
    std::vector<TSpan> spans(std::size_t(area.Height()));
    for (const TRect& r : rows) {
        const TRect c = r.Intersect(area);
        for (int y = c.Top; y < c.Bottom; ++y)
            spans[std::size_t(y - area.Top)] = {c.Left, c.Right};
    }

    // Narrow each span to the pixels that differ; memcmp passes equal rows fast.
    std::size_t pixels = 0;
    int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
    for (int y = area.Top; y < area.Bottom; ++y) {
        TSpan& s = spans[std::size_t(y - area.Top)];
        const TColor32* a = image.Row(y);
        const TColor32* b = next.Row(y);
        if (s.Left >= s.Right ||
            std::memcmp(a + s.Left, b + s.Left, std::size_t(s.Right - s.Left) * sizeof(TColor32)) ==
                0) {
            s = {};
            continue;
        }
        while (a[s.Left] == b[s.Left])
            ++s.Left;
        while (a[s.Right - 1] == b[s.Right - 1])
            --s.Right;
        pixels += std::size_t(s.Right - s.Left);
        top = std::min(top, y);
        bottom = y + 1;
        left = std::min(left, s.Left);
        right = std::max(right, s.Right);
    }
    if (pixels == 0) return d;

    d.FRect = {left, top, right, bottom};
    d.FSpans.assign(spans.begin() + (top - area.Top), spans.begin() + (bottom - area.Top));
    d.FPixels.resize(pixels);
    // Nothing below throws: the image changes only once all memory is held.
    TColor32* out = d.FPixels.data();
    for (int y = top; y < bottom; ++y) {
        const TSpan& s = d.FSpans[std::size_t(y - top)];
        const std::size_t n = std::size_t(s.Right - s.Left);
        std::memcpy(out, image.Row(y) + s.Left, n * sizeof(TColor32));
        std::memcpy(image.Row(y) + s.Left, next.Row(y) + s.Left, n * sizeof(TColor32));
        out += n;
    }
    return d;
}

void TBitmapDelta::Swap(TBitmap32& image) noexcept {
    if (FResize) {
        std::swap(image, FWhole);
        return;
    }
    TColor32* stored = FPixels.data();
    for (int y = FRect.Top; y < FRect.Bottom; ++y) {
        const TSpan& s = FSpans[std::size_t(y - FRect.Top)];
        TColor32* row = image.Row(y) + s.Left;
        stored = std::swap_ranges(row, row + (s.Right - s.Left), stored);
    }
}

std::size_t TBitmapDelta::Bytes() const {
    return FPixels.size() * sizeof(TColor32) + FSpans.size() * sizeof(TSpan) +
           FWhole.Pixels().size() * sizeof(TColor32);
}
