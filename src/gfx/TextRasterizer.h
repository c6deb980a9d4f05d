#pragma once
// Text measurement and rasterisation are the platform's (the system's text
// renderer); everything else about drawing text is ours and portable. The
// helpers below turn a rendered coverage mask into coloured pixels.
#include "gfx/Bitmap32.h"
#include "gfx/Blend.h"
#include "gfx/CoverageMask.h"
#include "gfx/FontDesc.h"

#include <string_view>

struct TTextExtent {
    int Width = 0;
    int Height = 0;

    friend bool operator==(const TTextExtent&, const TTextExtent&) = default;
};

class TTextRasterizer {
public:
    virtual ~TTextRasterizer() = default;

    // Size in pixels of the text laid out on a single line.
    virtual TTextExtent TextExtent(const TFontDesc& font, std::wstring_view text) const = 0;

    // The text drawn on one line with its top-left corner at (0, 0), white on
    // black, into a width x height mask; the rendered intensity (the blue
    // channel of a 32-bit rendering) is the coverage. Larger scales come from
    // TFontDesc::Scaled.
    virtual TCoverageMask Render(const TFontDesc& font, std::wstring_view text, int width,
                                 int height) const = 0;
};

// Colours a mask at (x, y): each pixel gets the colour with its alpha scaled
// by the coverage, combined by mode, inside clip (and the bitmap).
void DrawCoverageMask(TBitmap32& dst, int x, int y, const TCoverageMask& mask, TColor32 colour,
                      const TRect& clip, TCombineMode mode = cmBlend);

// The text with its top-left corner at (x, y).
void DrawTextAt(TBitmap32& dst, int x, int y, std::wstring_view text, const TFontDesc& font,
                TColor32 colour, const TTextRasterizer& rasterizer, const TRect& clip,
                TCombineMode mode = cmBlend);
void DrawTextAt(TBitmap32& dst, int x, int y, std::wstring_view text, const TFontDesc& font,
                TColor32 colour, const TTextRasterizer& rasterizer);

// The text on one line, centred horizontally and vertically in box (it may
// overflow the box; it is clipped only by clip and the bitmap).
void DrawTextCentered(TBitmap32& dst, const TRect& box, std::wstring_view text,
                      const TFontDesc& font, TColor32 colour, const TTextRasterizer& rasterizer,
                      const TRect& clip, TCombineMode mode = cmBlend);
void DrawTextCentered(TBitmap32& dst, const TRect& box, std::wstring_view text,
                      const TFontDesc& font, TColor32 colour, const TTextRasterizer& rasterizer);

// Text drawn supersampled: rendered at 2^level times the font size (level
// 0..4, larger counts as 4), each 2^level square averaged into one pixel's
// alpha, and blended in colour (its alpha is the master alpha) into box,
// centred vertically and, unless leftAligned, horizontally. Returns the
// pixels it may have changed.
TRect DrawTextInRect(TBitmap32& image, const TRect& box, std::wstring_view text, bool leftAligned,
                     int level, TColor32 colour, const TFontDesc& font,
                     const TTextRasterizer& rasterizer, TCombineMode mode = cmBlend);
