#pragma once
// TBitmap32: the raster image every part of the program draws into.
//
//   Pixels    one TColor32 ($AARRGGBB, alpha 255 = opaque) per pixel, stored
//             contiguously, rows top to bottom, no padding (stride = Width).
//   Rectangles TRect: Left/Top inclusive, Right/Bottom exclusive. Inverted
//             or empty rectangles draw nothing.
//   Clipping  every write is clipped to the bitmap; reading outside returns 0.
//   Blend     F over B (the default combine mode): Fa = 0 keeps B, Fa = 255
//             gives F, otherwise each channel c, alpha included, becomes
//                 (256*Bc + 128 + (Fc - Bc)*Fa) div 256
//             = (Bc*(256 - Fa) + Fc*Fa + 128) >> 8   (never negative).
//             Over a transparent background this deliberately leaves an
//             alpha of about Fa*Fa/256 and pulls the colour to the background.
//   Merge     source-over compositing that honours the destination's alpha;
//             over an opaque destination it is exactly the blend above.
#include "gfx/Color32.h"
#include "gfx/Rect.h"

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

class TBitmap32 {
public:
    TBitmap32() = default;
    // Throws std::invalid_argument for a negative size.
    TBitmap32(int width, int height, TColor32 fill = 0);
    // Pixels in memory the bitmap does not allocate (a screen grab's DIB
    // section, say): owner keeps them alive while the bitmap uses them, and
    // is released when the bitmap is resized, replaced or destroyed. Copies
    // own their pixels. Throws std::invalid_argument for a negative size or
    // missing pixels.
    static TBitmap32 Adopt(int width, int height, TColor32* pixels, std::shared_ptr<void> owner);

    TBitmap32(const TBitmap32& other);
    TBitmap32& operator=(const TBitmap32& other);
    TBitmap32(TBitmap32&& other) noexcept;
    TBitmap32& operator=(TBitmap32&& other) noexcept;
    ~TBitmap32() = default;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }

    // Keeps the pixels when the size is unchanged, otherwise every pixel
    // becomes 0. Throws std::invalid_argument for a negative size.
    void SetSize(int width, int height);

    // Unchecked fast access; y must be in [0, Height).
    TColor32* Row(int y) { return FData + std::size_t(y) * std::size_t(FWidth); }
    const TColor32* Row(int y) const { return FData + std::size_t(y) * std::size_t(FWidth); }
    TColor32* Bits() { return FData; }
    const TColor32* Bits() const { return FData; }
    std::span<const TColor32> Pixels() const { return {FData, Area()}; }

    // Checked access: 0 outside, writes outside are ignored.
    TColor32 Pixel(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }
    void SetPixel(int x, int y, TColor32 c) {
        if (Contains(x, y)) Row(y)[x] = c;
    }
    void BlendPixel(int x, int y, TColor32 c);

    void Clear(TColor32 c);
    void FillRect(const TRect& r, TColor32 c);
    void FillRectBlend(const TRect& r, TColor32 c);

    // Copies src (or its srcRect part) with its top-left corner at (x, y).
    // Draw replaces pixels, DrawBlend blends each source pixel over the
    // destination, DrawMerge composites source-over with destination alpha.
    void Draw(int x, int y, const TBitmap32& src);
    void Draw(int x, int y, const TBitmap32& src, const TRect& srcRect);
    void DrawBlend(int x, int y, const TBitmap32& src);
    void DrawBlend(int x, int y, const TBitmap32& src, const TRect& srcRect);
    void DrawMerge(int x, int y, const TBitmap32& src);
    void DrawMerge(int x, int y, const TBitmap32& src, const TRect& srcRect);

    // The pixels of r clipped to the bitmap; empty when nothing overlaps.
    TBitmap32 Crop(const TRect& r) const;

    friend bool operator==(const TBitmap32& a, const TBitmap32& b);

private:
    std::size_t Area() const { return std::size_t(FWidth) * std::size_t(FHeight); }
    bool Contains(int x, int y) const {
        return unsigned(x) < unsigned(FWidth) && unsigned(y) < unsigned(FHeight);
    }

    // Fresh, unfilled pixels of this size.
    void Allocate(int width, int height);

    int FWidth = 0;
    int FHeight = 0;
    std::shared_ptr<void> FStorage; // the pixels, or what keeps adopted ones alive
    TColor32* FData = nullptr;
};
