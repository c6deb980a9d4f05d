#pragma once
// Outline of a thick polyline for the line, rectangle, arrow, pen and marker
// tools. The outline is returned as a set of contours (one quad per segment,
// a disc per round cap or join, a triangle per bevel) all wound the same way,
// so filling them together with the non-zero rule covers every pixel of the
// stroke once, even where it overlaps itself: a translucent stroke keeps a
// single alpha level.
#include "gfx/Bitmap32.h"
#include "gfx/FloatPoint.h"
#include "gfx/PolygonFill.h"

#include <span>
#include <vector>

enum TEndStyle { esButt, esRound };
enum TJoinStyle { jsBevel, jsRound };

class TStroker {
public:
    float Width = 1;
    TEndStyle EndStyle = esButt;
    TJoinStyle JoinStyle = jsBevel;

    // Consecutive equal points count once; fewer than two distinct points,
    // a width that is not positive or a non-finite point give no contours.
    std::vector<TPolygon> Outline(std::span<const TFloatPoint> points) const;

    // Fills the outline with colour blended over dst; returns the pixels it
    // may have changed, as bands.
    std::vector<TRect> Draw(TBitmap32& dst, std::span<const TFloatPoint> points, TColor32 colour,
                            int subsamples = 16) const;
};
