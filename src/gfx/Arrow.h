#pragma once
// The arrow tool's shape: a shaft with butt ends from the start point to the
// notch of a filled four-point head whose tip is the end point.
//
// With u the unit vector from the tip T towards the start S and size s, the
// notch is B = T + (s + 6) u (6 is the width of the head's invisible outline)
// and the barbs are B + (s / sqrt 3) u rotated by +-60 degrees: s / (2 sqrt 3)
// behind B and s / 2 to either side, so the head is s wide.
#include "gfx/Bitmap32.h"
#include "gfx/FloatPoint.h"
#include "gfx/PolygonFill.h"

class TArrow {
public:
    // Head size for a line width: 3 * width, but 4 when that is not above 3.
    static float HeadSize(float width);

    // S == E has no direction: Head is empty then and nothing is drawn.
    TArrow(TFloatPoint start, TFloatPoint tip, float width);

    float Width() const { return FWidth; }
    float Size() const { return FSize; }
    TFloatPoint ShaftStart() const { return FStart; }
    // The notch B; behind the start point when the arrow is shorter than
    // s + 6, so the shaft then points away from the tip.
    TFloatPoint ShaftEnd() const { return FNotch; }
    // B, W1, T, W2.
    const TPolygon& Head() const { return FHead; }

    // The shaft and the head, filled together with colour; returns the
    // pixels it may have changed, as bands.
    std::vector<TRect> Draw(TBitmap32& dst, TColor32 colour, int subsamples = 32) const;

private:
    TFloatPoint FStart;
    TFloatPoint FNotch;
    float FWidth;
    float FSize;
    TPolygon FHead;
};
