#pragma once
// Drawing kit shared by the artwork sources (not for other callers). Shapes
// are given in pixel coordinates of the picture and composited source-over
// into straight-alpha pictures: an anti-aliased edge over a transparent
// pixel keeps the ink colour and gets the coverage as alpha, so a picture
// drawn later over any background shows no dark or light fringe.
#include "gfx/Bitmap32.h"
#include "gfx/PolygonFill.h"

#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace art {

using TShape = std::vector<TPolygon>;
using TPoints = std::vector<TFloatPoint>;

// The palette every picture takes its colours from.
namespace pal {
constexpr TColor32 Window = 0xFF091A32;    // windows and panels
constexpr TColor32 WindowAlt = 0xFF0C2242; // dialogs and pages
constexpr TColor32 Ink = 0xFFC5D0DE;       // glyphs at rest
constexpr TColor32 InkHot = 0xFFFFFFFF;    // glyphs under the pointer or latched
constexpr TColor32 InkOff = 0xFF465872;    // disabled glyphs
constexpr TColor32 Plate = 0xFF1E385C;     // hover plate
constexpr TColor32 PlateDown = 0xFF142C4B; // pressed plate
constexpr TColor32 Accent = 0xFF2A7FE0;
constexpr TColor32 AccentHot = 0xFF4393EE;
constexpr TColor32 AccentDown = 0xFF1F68BE;
constexpr TColor32 AccentOff = 0xFF1C4272;
constexpr TColor32 Sky = 0xFF45C0F5;  // information sign, selection marks
constexpr TColor32 Line = 0xFF4A6EA1; // outlines of fields and secondary buttons
constexpr TColor32 Rule = 0xFF22406A; // separators
constexpr TColor32 Gold = 0xFFFFC23D;
constexpr TColor32 Record = 0xFFFF3B30;
} // namespace pal

// Source-over on straight alpha; unlike the core's blend it keeps an opaque
// destination opaque.
TColor32 Over(TColor32 f, TColor32 b);
// Straight alpha scaled by a (0..1).
TColor32 Fade(TColor32 c, float a);
// Linear mix of two colours, t = 0 gives a.
TColor32 Mix(TColor32 a, TColor32 b, float t);

class TPainter {
public:
    explicit TPainter(TBitmap32& dst) : FDst(dst) {}
    TBitmap32& Target() { return FDst; }

    void Fill(std::span<const TPolygon> shape, TColor32 colour);
    void Fill(const TPolygon& contour, TColor32 colour) { Fill(std::span(&contour, 1), colour); }
    // Colour per pixel centre: gradients.
    void Fill(std::span<const TPolygon> shape, const std::function<TColor32(float, float)>& paint);
    // Composites src source-over with its top-left corner at (x, y).
    void Draw(const TBitmap32& src, int x, int y);
    // Removes the shape's coverage from the destination's alpha (cut-outs).
    void Erase(std::span<const TPolygon> shape);
    void Erase(const TPolygon& contour) { Erase(std::span(&contour, 1)); }
    // Polyline of the given width; round caps and joins unless butt.
    void Stroke(std::span<const TFloatPoint> points, float width, TColor32 colour,
                bool round = true);
    void Stroke(std::initializer_list<TFloatPoint> points, float width, TColor32 colour,
                bool round = true) {
        Stroke(std::span(points.begin(), points.size()), width, colour, round);
    }

private:
    // Calls put(pixel, coverage 1..255) for every covered pixel.
    void Cover(std::span<const TPolygon> shape,
               const std::function<void(int, int, TColor32&, unsigned)>& put);
    TBitmap32& FDst;
};

TPolygon Box(float l, float t, float r, float b);
TPolygon RoundBox(float l, float t, float r, float b, float radius);
TPolygon Circle(float cx, float cy, float r);
// The contour wound the other way: inside a positive contour it is a hole.
TPolygon Reversed(TPolygon p);
// A rounded frame of the given width whose outer edge is (l, t, r, b).
TShape Frame(float l, float t, float r, float b, float radius, float width);
TShape Ring(float cx, float cy, float r, float width);
// Points on a circle from angle a0 to a1 in degrees (0 = +x, 90 = down).
TPoints Arc(float cx, float cy, float r, float a0, float a1);
// Closed polygon from polyline points.
TPolygon Poly(std::initializer_list<TFloatPoint> points);
TShape StrokeShape(std::span<const TFloatPoint> points, float width, bool round = true);
void Append(TPoints& to, const TPoints& from);
void Append(TShape& to, const TShape& from);
// Mirrors around the vertical line x = axis.
TPoints MirrorX(TPoints p, float axis);

// The picture catalog: name -> drawing function, filled by the Art*.cpp parts.
using TCatalog = std::map<std::string, std::function<TBitmap32()>, std::less<>>;
void AddIconArt(TCatalog& c);
void AddControlArt(TCatalog& c);
void AddWindowArt(TCatalog& c);

// Glyph of a button, drawn in the given ink into a transparent picture.
using TGlyph = std::function<void(TPainter&, TColor32 ink)>;
TBitmap32 GlyphPicture(int w, int h, const TGlyph& glyph, TColor32 ink);

// Shared glyphs (38 x 38 design box unless said otherwise).
void FloppyGlyph(TPainter& p, TColor32 ink);
// Four corner brackets and a dot: the program's mark, in a box of size s.
void MarkGlyph(TPainter& p, float x, float y, float s, TColor32 frame, TColor32 dot);
// "KADRIX" in strokes of width 2, cap height 11, starting at (x, top).
void WordMark(TPainter& p, float x, float top, TColor32 ink);

} // namespace art
