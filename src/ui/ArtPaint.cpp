#include "ui/ArtPaint.h"

#include "gfx/Blend.h"
#include "gfx/Stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

namespace {
constexpr float Kappa = 0.5523f;
// Enough sub-scanlines that near-horizontal edges of small glyphs step smoothly.
constexpr int Subsamples = 32;

std::uint8_t Channel(float v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}
} // namespace

TColor32 Over(TColor32 f, TColor32 b) {
    const std::uint32_t fa = f >> 24, ba = b >> 24;
    if (fa == 0) return b;
    if (fa == 255 || ba == 0) return f;
    const std::uint32_t wf = fa * 255, wb = ba * (255 - fa), total = wf + wb;
    auto channel = [&](int shift) {
        const std::uint32_t fc = (f >> shift) & 0xFF, bc = (b >> shift) & 0xFF;
        return ((fc * wf + bc * wb + total / 2) / total) << shift;
    };
    return (((total + 127) / 255) << 24) | channel(16) | channel(8) | channel(0);
}

TColor32 Fade(TColor32 c, float a) {
    return (c & 0x00FFFFFFu) | (TColor32(Channel(AlphaOf(c) * a)) << 24);
}

TColor32 Mix(TColor32 a, TColor32 b, float t) {
    auto m = [t](std::uint8_t x, std::uint8_t y) { return Channel(x + (y - x) * t); };
    return Color32(m(RedOf(a), RedOf(b)), m(GreenOf(a), GreenOf(b)), m(BlueOf(a), BlueOf(b)),
                   m(AlphaOf(a), AlphaOf(b)));
}

void TPainter::Cover(std::span<const TPolygon> shape,
                     const std::function<void(int, int, TColor32&, unsigned)>& put) {
    const TRect box = PolygonBounds(shape).Intersect(FDst.BoundsRect());
    if (box.IsEmpty()) return;
    // Coverage is rendered as white over opaque black, so red = coverage.
    TBitmap32 mask(box.Width(), box.Height(), 0xFF000000);
    TShape moved(shape.begin(), shape.end());
    for (auto& contour : moved)
        for (auto& pt : contour) {
            pt.X -= float(box.Left);
            pt.Y -= float(box.Top);
        }
    PolygonFillAA(mask, moved, 0xFFFFFFFF, Subsamples);
    for (int y = 0; y < mask.Height(); ++y) {
        const TColor32* m = mask.Row(y);
        TColor32* d = FDst.Row(y + box.Top) + box.Left;
        for (int x = 0; x < mask.Width(); ++x)
            if (const unsigned cov = RedOf(m[x])) put(x + box.Left, y + box.Top, d[x], cov);
    }
}

void TPainter::Fill(std::span<const TPolygon> shape, TColor32 colour) {
    Cover(shape, [colour](int, int, TColor32& px, unsigned cov) {
        px = Over(WithCoverage(colour, cov), px);
    });
}

void TPainter::Fill(std::span<const TPolygon> shape,
                    const std::function<TColor32(float, float)>& paint) {
    Cover(shape, [&paint](int x, int y, TColor32& px, unsigned cov) {
        px = Over(WithCoverage(paint(x + 0.5f, y + 0.5f), cov), px);
    });
}

void TPainter::Draw(const TBitmap32& src, int x, int y) {
    const TRect r = src.BoundsRect().Offset(x, y).Intersect(FDst.BoundsRect());
    for (int row = r.Top; row < r.Bottom; ++row) {
        TColor32* d = FDst.Row(row);
        const TColor32* s = src.Row(row - y);
        for (int col = r.Left; col < r.Right; ++col)
            d[col] = Over(s[col - x], d[col]);
    }
}

void TPainter::Erase(std::span<const TPolygon> shape) {
    Cover(shape, [](int, int, TColor32& px, unsigned cov) {
        const unsigned a = (AlphaOf(px) * (255 - cov) + 127) / 255;
        px = (px & 0x00FFFFFFu) | (a << 24);
    });
}

void TPainter::Stroke(std::span<const TFloatPoint> points, float width, TColor32 colour,
                      bool round) {
    Fill(StrokeShape(points, width, round), colour);
}

TPolygon Box(float l, float t, float r, float b) {
    return {{l, t}, {r, t}, {r, b}, {l, b}};
}

TPolygon RoundBox(float l, float t, float r, float b, float radius) {
    radius = std::min({radius, (r - l) / 2, (b - t) / 2});
    if (radius <= 0) return Box(l, t, r, b);
    const float k = radius * (1 - Kappa);
    TPolygon p{{l + radius, t}, {r - radius, t}};
    FlattenCubicBezier({r - radius, t}, {r - k, t}, {r, t + k}, {r, t + radius}, p);
    p.push_back({r, b - radius});
    FlattenCubicBezier({r, b - radius}, {r, b - k}, {r - k, b}, {r - radius, b}, p);
    p.push_back({l + radius, b});
    FlattenCubicBezier({l + radius, b}, {l + k, b}, {l, b - k}, {l, b - radius}, p);
    p.push_back({l, t + radius});
    FlattenCubicBezier({l, t + radius}, {l, t + k}, {l + k, t}, {l + radius, t}, p);
    p.pop_back(); // the closing point repeats the first
    return p;
}

TPolygon Circle(float cx, float cy, float r) {
    TPolygon p = DiscPolygon(cx, cy, r);
    OrientPositive(p);
    return p;
}

TPolygon Reversed(TPolygon p) {
    OrientPositive(p);
    std::reverse(p.begin(), p.end());
    return p;
}

TShape Frame(float l, float t, float r, float b, float radius, float width) {
    TPolygon outer = RoundBox(l, t, r, b, radius);
    OrientPositive(outer);
    return {outer, Reversed(RoundBox(l + width, t + width, r - width, b - width,
                                     std::max(0.0f, radius - width)))};
}

TShape Ring(float cx, float cy, float r, float width) {
    return {Circle(cx, cy, r), Reversed(Circle(cx, cy, r - width))};
}

TPoints Arc(float cx, float cy, float r, float a0, float a1) {
    const float span = std::abs(a1 - a0) * std::numbers::pi_v<float> / 180 * r;
    const int n = std::max(2, int(std::ceil(span / 0.75f)));
    TPoints p;
    for (int i = 0; i <= n; ++i) {
        const float a = (a0 + (a1 - a0) * float(i) / float(n)) * std::numbers::pi_v<float> / 180;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

TPolygon Poly(std::initializer_list<TFloatPoint> points) {
    TPolygon p(points);
    OrientPositive(p);
    return p;
}

TShape StrokeShape(std::span<const TFloatPoint> points, float width, bool round) {
    TStroker s;
    s.Width = width;
    s.EndStyle = round ? esRound : esButt;
    s.JoinStyle = round ? jsRound : jsBevel;
    TShape shape = s.Outline(points);
    // Filled together with other shapes, every part must add, never cancel.
    for (auto& c : shape)
        OrientPositive(c);
    return shape;
}

void Append(TPoints& to, const TPoints& from) {
    to.insert(to.end(), from.begin(), from.end());
}

void Append(TShape& to, const TShape& from) {
    to.insert(to.end(), from.begin(), from.end());
}

TPoints MirrorX(TPoints p, float axis) {
    for (auto& pt : p)
        pt.X = 2 * axis - pt.X;
    return p;
}

TBitmap32 GlyphPicture(int w, int h, const TGlyph& glyph, TColor32 ink) {
    TBitmap32 b(w, h, 0);
    TPainter p(b);
    glyph(p, ink);
    return b;
}

} // namespace art
