#pragma once
// What a control paints with: the form's back buffer seen through the
// control's origin and clip. Coordinates are the control's own; nothing is
// written outside the clip (the control's bounds within the area being
// repainted).
#include "gfx/Bitmap32.h"
#include "gfx/Point.h"
#include "gfx/TextRasterizer.h"
#include "ui/Font.h"
#include "ui/Picture.h"
#include "ui/TextLayout.h"

class TCanvas {
public:
    TCanvas(TBitmap32& target, TPoint origin, const TRect& clip, const TTextRasterizer& text);

    TBitmap32& Target() const { return FTarget; }
    TPoint Origin() const { return FOrigin; }
    // The clip in the canvas's own coordinates.
    TRect ClipRect() const { return FClip.Offset(-FOrigin.X, -FOrigin.Y); }
    const TTextRasterizer& TextRasterizer() const { return FText; }

    void FillRect(const TRect& r, TColor32 colour);
    // A frame of the given width inside r.
    void FrameRect(const TRect& r, TColor32 colour, int width = 1);
    // Transparent pictures blend over the pixels beneath, opaque ones replace them.
    void Draw(int x, int y, const TPicture& picture);
    void Draw(int x, int y, const TBitmap32& bitmap);
    // Anti-aliased rounded rectangle covering r, corners of radii rx, ry;
    // a pen of penWidth in penColour around a brushColour inside.
    void RoundRect(const TRect& r, float rx, float ry, TColor32 penColour, TColor32 brushColour,
                   int penWidth = 1);

    TTextExtent TextExtent(const TFont& font, std::wstring_view text) const;
    int TextWidth(const TFont& font, std::wstring_view text) const;
    int TextHeight(const TFont& font, std::wstring_view text) const;
    void TextOut(int x, int y, std::wstring_view text, const TFont& font);
    // Lines aligned in r (horizontally), from its top; clipped to r when clip.
    void TextRect(const TRect& r, const TTextLayout& layout, const TFont& font, TAlignment align,
                  bool clip = true);

private:
    TBitmap32& FTarget;
    TPoint FOrigin;
    TRect FClip; // in target coordinates, within the target
    const TTextRasterizer& FText;
};
