#pragma once
// Anti-aliased polygon filling for every shape the annotation tools draw
// (strokes, arrowheads, discs). All contours passed in one call form one
// shape under the non-zero winding rule, so overlapping parts, including a
// stroke that crosses itself, are covered once and a translucent colour keeps
// a single alpha level.
//
// Coverage is sampled on `subsamples` sub-scanlines per pixel row and measured
// exactly (to 1/256 pixel) along each of them, so coverage levels are at
// least as fine as an N x N grid. Pixel (x, y) covers [x, x + 1) x [y, y + 1).
#include "gfx/Bitmap32.h"
#include "gfx/FloatPoint.h"

#include <span>
#include <vector>

// One closed contour: the last point connects back to the first.
using TPolygon = std::vector<TFloatPoint>;

// Blends colour x coverage over dst inside clip (intersected with the
// bitmap). Throws std::invalid_argument unless 1 <= subsamples <= 256.
// Edges with non-finite coordinates are ignored.
void PolygonFillAA(TBitmap32& dst, std::span<const TPolygon> contours, TColor32 colour,
                   int subsamples, const TRect& clip);
void PolygonFillAA(TBitmap32& dst, std::span<const TPolygon> contours, TColor32 colour,
                   int subsamples = 16);
void PolygonFillAA(TBitmap32& dst, std::span<const TFloatPoint> contour, TColor32 colour,
                   int subsamples = 16);

// Appends the flattened curve p0..p3 to out: the points after p0, ending
// with p3, spaced so that the chords stay within tolerance of the curve.
void FlattenCubicBezier(TFloatPoint p0, TFloatPoint p1, TFloatPoint p2, TFloatPoint p3,
                        std::vector<TFloatPoint>& out, float tolerance = 0.1f);

// A circle made of four cubic arcs (kappa 0.5523), flattened; empty for
// r <= 0.
TPolygon DiscPolygon(float cx, float cy, float r);

// Returns the pixels it may have changed.
TRect FillDiscAA(TBitmap32& dst, float cx, float cy, float r, TColor32 colour, int subsamples = 16);

// The signed area: positive for one winding direction, negative for the other.
double SignedArea(const TPolygon& p);
// Turns p to the positive winding direction, so that contours filled
// together add up instead of cancelling under the non-zero rule.
void OrientPositive(TPolygon& p);

// Every pixel a fill of contours can touch (finite points only); empty for
// no points.
TRect PolygonBounds(std::span<const TPolygon> contours);

// The same pixels as a list of rectangles, each contour cut into bands of
// bandHeight rows with its own horizontal extent, all within clip. A long
// diagonal stroke covers a thin strip of its bounding box; repainting the
// bands instead of the box keeps a drag's cost near the stroke's size.
std::vector<TRect> PolygonBands(std::span<const TPolygon> contours, const TRect& clip,
                                int bandHeight = 32);
