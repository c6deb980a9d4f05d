#include "annotate/BitmapDelta.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

namespace {
bool SameSpan(const TColor32* a, const TColor32* b, int n) {
    return n <= 0 || std::memcmp(a, b, std::size_t(n) * sizeof(TColor32)) == 0;
}
} // namespace

TRect DiffRect(const TBitmap32& a, const TBitmap32& b) {
    assert(a.Width() == b.Width() && a.Height() == b.Height());
    const int w = a.Width(), h = a.Height();
    int top = 0;
    while (top < h && SameSpan(a.Row(top), b.Row(top), w))
        ++top;
    if (top == h) return {};
    int bottom = h;
    while (SameSpan(a.Row(bottom - 1), b.Row(bottom - 1), w))
        --bottom;

    // Only the parts of a row outside the columns found so far can widen the
    // rectangle; memcmp rejects them fast, a pixel scan runs only on a hit.
    int left = w, right = 0;
    for (int y = top; y < bottom; ++y) {
        const TColor32* pa = a.Row(y);
        const TColor32* pb = b.Row(y);
        if (!SameSpan(pa, pb, left)) {
            int x = 0;
            while (pa[x] == pb[x])
                ++x;
            left = x;
        }
        const int from = std::max(right, left);
        if (!SameSpan(pa + from, pb + from, w - from)) {
            int x = w;
            while (pa[x - 1] == pb[x - 1])
                --x;
            right = x;
        }
    }
    return {left, top, right, bottom};
}

TBitmapDelta TBitmapDelta::Record(TBitmap32& image, const TBitmap32& next) {
    TBitmapDelta d;
    if (image.Width() != next.Width() || image.Height() != next.Height()) {
        TBitmap32 copy = next;
        d.FResize = true;
        d.FPixels = std::exchange(image, std::move(copy));
        return d;
    }
    d.FRect = DiffRect(image, next);
    if (d.FRect.IsEmpty()) return d;
    d.FPixels = image.Crop(d.FRect);
    const std::size_t rowBytes = std::size_t(d.FRect.Width()) * sizeof(TColor32);
    for (int y = d.FRect.Top; y < d.FRect.Bottom; ++y)
        std::memcpy(image.Row(y) + d.FRect.Left, next.Row(y) + d.FRect.Left, rowBytes);
    return d;
}

void TBitmapDelta::Swap(TBitmap32& image) noexcept {
    if (FResize) {
        std::swap(image, FPixels);
        return;
    }
    for (int y = FRect.Top; y < FRect.Bottom; ++y) {
        TColor32* row = image.Row(y) + FRect.Left;
        std::swap_ranges(row, row + FRect.Width(), FPixels.Row(y - FRect.Top));
    }
}
