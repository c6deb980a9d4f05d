#include "gfx/Bitmap32.h"

#include "gfx/Blend.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

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

TBitmap32::TBitmap32(int width, int height, TColor32 fill) {
    Allocate(width, height);
    std::fill_n(FData, Area(), fill);
}

void TBitmap32::Allocate(int width, int height) {
    const std::size_t area = CheckedArea(width, height);
    // The old pixels go before the new ones come: a screen-sized image must
    // not briefly exist twice.
    FStorage.reset();
    FData = nullptr;
    FWidth = FHeight = 0;
    if (area != 0) {
        std::shared_ptr<TColor32[]> pixels = std::make_unique_for_overwrite<TColor32[]>(area);
        FData = pixels.get();
        FStorage = std::move(pixels);
    }
    FWidth = width;
    FHeight = height;
}

TBitmap32 TBitmap32::Adopt(int width, int height, TColor32* pixels, std::shared_ptr<void> owner) {
    if (CheckedArea(width, height) != 0 && !pixels)
        throw std::invalid_argument("TBitmap32: no pixels to adopt");
    TBitmap32 b;
    b.FWidth = width;
    b.FHeight = height;
    b.FStorage = std::move(owner);
    b.FData = pixels;
    return b;
}

TBitmap32::TBitmap32(const TBitmap32& other) {
    Allocate(other.FWidth, other.FHeight);
    std::copy_n(other.FData, Area(), FData);
}

TBitmap32& TBitmap32::operator=(const TBitmap32& other) {
    if (this != &other) *this = TBitmap32(other);
    return *this;
}

TBitmap32::TBitmap32(TBitmap32&& other) noexcept
    : FWidth(std::exchange(other.FWidth, 0)), FHeight(std::exchange(other.FHeight, 0)),
      FStorage(std::move(other.FStorage)), FData(std::exchange(other.FData, nullptr)) {}

TBitmap32& TBitmap32::operator=(TBitmap32&& other) noexcept {
    if (this == &other) return *this;
    FWidth = std::exchange(other.FWidth, 0);
    FHeight = std::exchange(other.FHeight, 0);
    FStorage = std::move(other.FStorage);
    FData = std::exchange(other.FData, nullptr);
    return *this;
}

bool operator==(const TBitmap32& a, const TBitmap32& b) {
    return a.FWidth == b.FWidth && a.FHeight == b.FHeight &&
           std::equal(a.FData, a.FData + a.Area(), b.FData);
}

void TBitmap32::SetSize(int width, int height) {
    CheckedArea(width, height);
    if (width == FWidth && height == FHeight) return;
    Allocate(width, height);
    std::fill_n(FData, Area(), TColor32(0));
}

void TBitmap32::BlendPixel(int x, int y, TColor32 c) {
    if (Contains(x, y)) Row(y)[x] = BlendColor32(c, Row(y)[x]);
}

void TBitmap32::Clear(TColor32 c) {
    std::fill_n(FData, Area(), c);
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
