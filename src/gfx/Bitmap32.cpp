#include "gfx/Bitmap32.h"

#include "gfx/Blend.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {
std::size_t CheckedArea(int width, int height) {
    if (width < 0 || height < 0) throw std::invalid_argument("TBitmap32: negative size");
    return std::size_t(width) * std::size_t(height);
}

// Clips a source rectangle placed at (x, y) against both bitmaps. On return
// src is the part to read and (x, y) where its top-left corner lands. 64-bit
// arithmetic keeps far-off positions from overflowing.
bool ClipTransfer(const TRect& dstBounds, const TBitmap32& source, TRect& src, int& x, int& y) {
    const TRect s = src.Intersect(source.BoundsRect());
    if (s.IsEmpty()) return false;
    const long long left = x + (static_cast<long long>(s.Left) - src.Left);
    const long long top = y + (static_cast<long long>(s.Top) - src.Top);
    const long long l = std::max<long long>(left, dstBounds.Left);
    const long long t = std::max<long long>(top, dstBounds.Top);
    const long long r = std::min<long long>(left + s.Width(), dstBounds.Right);
    const long long b = std::min<long long>(top + s.Height(), dstBounds.Bottom);
    if (l >= r || t >= b) return false;
    src = {s.Left + int(l - left), s.Top + int(t - top), s.Left + int(r - left),
           s.Top + int(b - top)};
    x = int(l);
    y = int(t);
    return true;
}

template <typename PixelOp>
void Transfer(TBitmap32& dst, int x, int y, const TBitmap32& src, TRect srcRect, PixelOp op) {
    if (!ClipTransfer(dst.BoundsRect(), src, srcRect, x, y)) return;
    const int w = srcRect.Width();
    for (int row = 0; row < srcRect.Height(); ++row) {
        const TColor32* s = src.Row(srcRect.Top + row) + srcRect.Left;
        TColor32* d = dst.Row(y + row) + x;
        op(d, s, w);
    }
}
} // namespace

TBitmap32::TBitmap32(int width, int height, TColor32 fill)
    : FWidth(width), FHeight(height), FPixels(CheckedArea(width, height), fill) {}

void TBitmap32::SetSize(int width, int height) {
    const std::size_t area = CheckedArea(width, height);
    if (width == FWidth && height == FHeight) return;
    FPixels.assign(area, 0);
    FWidth = width;
    FHeight = height;
}

void TBitmap32::BlendPixel(int x, int y, TColor32 c) {
    if (Contains(x, y)) Row(y)[x] = BlendColor32(c, Row(y)[x]);
}

void TBitmap32::Clear(TColor32 c) {
    std::fill(FPixels.begin(), FPixels.end(), c);
}

void TBitmap32::FillRect(const TRect& r, TColor32 c) {
    const TRect clip = r.Intersect(BoundsRect());
    for (int y = clip.Top; y < clip.Bottom; ++y)
        std::fill_n(Row(y) + clip.Left, clip.Width(), c);
}

void TBitmap32::FillRectBlend(const TRect& r, TColor32 c) {
    const TRect clip = r.Intersect(BoundsRect());
    for (int y = clip.Top; y < clip.Bottom; ++y)
        BlendSpan(Row(y) + clip.Left, clip.Width(), c);
}

void TBitmap32::Draw(int x, int y, const TBitmap32& src) {
    Draw(x, y, src, src.BoundsRect());
}

void TBitmap32::Draw(int x, int y, const TBitmap32& src, const TRect& srcRect) {
    // Drawing a bitmap onto itself would need overlap-aware copying; a copy
    // of the source keeps the rule simple.
    if (&src == this) {
        const TBitmap32 copy = src;
        Draw(x, y, copy, srcRect);
        return;
    }
    Transfer(*this, x, y, src, srcRect, [](TColor32* d, const TColor32* s, int w) {
        std::memcpy(d, s, std::size_t(w) * sizeof(TColor32));
    });
}

void TBitmap32::DrawBlend(int x, int y, const TBitmap32& src) {
    DrawBlend(x, y, src, src.BoundsRect());
}

void TBitmap32::DrawBlend(int x, int y, const TBitmap32& src, const TRect& srcRect) {
    if (&src == this) {
        const TBitmap32 copy = src;
        DrawBlend(x, y, copy, srcRect);
        return;
    }
    // Overlays are mostly empty: transparent runs are skipped, not rewritten.
    Transfer(*this, x, y, src, srcRect, [](TColor32* d, const TColor32* s, int w) {
        for (int i = 0; i < w;) {
            if (i + 4 <= w && ((s[i] | s[i + 1] | s[i + 2] | s[i + 3]) >> 24) == 0) {
                i += 4;
                continue;
            }
            if (s[i] >> 24) d[i] = BlendColor32(s[i], d[i]);
            ++i;
        }
    });
}

void TBitmap32::DrawMerge(int x, int y, const TBitmap32& src) {
    DrawMerge(x, y, src, src.BoundsRect());
}

void TBitmap32::DrawMerge(int x, int y, const TBitmap32& src, const TRect& srcRect) {
    if (&src == this) {
        const TBitmap32 copy = src;
        DrawMerge(x, y, copy, srcRect);
        return;
    }
    Transfer(*this, x, y, src, srcRect, [](TColor32* d, const TColor32* s, int w) {
        for (int i = 0; i < w; ++i)
            d[i] = MergeColor32(s[i], d[i]);
    });
}

TBitmap32 TBitmap32::Crop(const TRect& r) const {
    const TRect clip = r.Intersect(BoundsRect());
    TBitmap32 out(clip.Width(), clip.Height());
    out.Draw(0, 0, *this, clip);
    return out;
}
