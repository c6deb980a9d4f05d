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
#include <vector>

class TBitmap32 {
public:
    TBitmap32() = default;
    // Throws std::invalid_argument for a negative size.
    TBitmap32(int width, int height, TColor32 fill = 0);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }

    // Keeps the pixels when the size is unchanged, otherwise every pixel
    // becomes 0. Throws std::invalid_argument for a negative size.
    void SetSize(int width, int height);

    // Unchecked fast access; y must be in [0, Height).
    TColor32* Row(int y) { return FPixels.data() + std::size_t(y) * std::size_t(FWidth); }
    const TColor32* Row(int y) const {
        return FPixels.data() + std::size_t(y) * std::size_t(FWidth);
    }
    TColor32* Bits() { return FPixels.data(); }
    const TColor32* Bits() const { return FPixels.data(); }
    const std::vector<TColor32>& Pixels() const { return FPixels; }

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

    friend bool operator==(const TBitmap32&, const TBitmap32&) = default;

private:
    bool Contains(int x, int y) const {
        return unsigned(x) < unsigned(FWidth) && unsigned(y) < unsigned(FHeight);
    }

    int FWidth = 0;
    int FHeight = 0;
    std::vector<TColor32> FPixels;
};
