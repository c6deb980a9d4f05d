#include "gfx/Stroker.h"

#include <algorithm>
#include <cmath>

namespace {
// Every contour goes the same way round, or overlapping pieces would cancel
// each other under the non-zero rule.
void AddOriented(std::vector<TPolygon>& out, TPolygon p) {
    if (p.empty() || float(SignedArea(p)) == 0) return;
    OrientPositive(p);
    out.push_back(std::move(p));
}

TFloatPoint Offset(TFloatPoint p, float nx, float ny, float k) {
    return {p.X + nx * k, p.Y + ny * k};
}
} // namespace

std::vector<TPolygon> TStroker::Outline(std::span<const TFloatPoint> points) const {
    std::vector<TPolygon> out;
    if (!(Width > 0) || !std::isfinite(Width)) return out;
    std::vector<TFloatPoint> pts;
    pts.reserve(points.size());
    for (const TFloatPoint& p : points) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return out;
        if (pts.empty() || !(pts.back() == p)) pts.push_back(p);
    }
    if (pts.size() < 2) return out;

    const float h = Width / 2;
    // Unit left normals of the segments.
    std::vector<TFloatPoint> normals;
    normals.reserve(pts.size() - 1);
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const double dx = double(pts[i + 1].X) - pts[i].X, dy = double(pts[i + 1].Y) - pts[i].Y;
        const double len = std::hypot(dx, dy);
        const TFloatPoint n{float(-dy / len), float(dx / len)};
        normals.push_back(n);
        AddOriented(out, {Offset(pts[i], n.X, n.Y, h), Offset(pts[i + 1], n.X, n.Y, h),
                          Offset(pts[i + 1], n.X, n.Y, -h), Offset(pts[i], n.X, n.Y, -h)});
    }

    for (std::size_t i = 1; i + 1 < pts.size(); ++i) {
        const TFloatPoint p = pts[i], n0 = normals[i - 1], n1 = normals[i];
        if (JoinStyle == jsRound) {
            AddOriented(out, DiscPolygon(p.X, p.Y, h));
            continue;
        }
        // The bevel fills the gap on the outer side of the turn only; the
        // inner side is already covered by the two segments.
        const float turn = n0.X * n1.Y - n0.Y * n1.X;
        const float side = turn > 0 ? -h : h;
        AddOriented(out, {p, Offset(p, n0.X, n0.Y, side), Offset(p, n1.X, n1.Y, side)});
    }

    if (EndStyle == esRound) {
        AddOriented(out, DiscPolygon(pts.front().X, pts.front().Y, h));
        AddOriented(out, DiscPolygon(pts.back().X, pts.back().Y, h));
    }
    return out;
}

std::vector<TRect> TStroker::Draw(TBitmap32& dst, std::span<const TFloatPoint> points,
                                  TColor32 colour, int subsamples) const {
    const std::vector<TPolygon> contours = Outline(points);
    PolygonFillAA(dst, contours, colour, subsamples);
    return PolygonBands(contours, dst.BoundsRect());
}
