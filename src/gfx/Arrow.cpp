#include "gfx/Arrow.h"

#include "gfx/Stroker.h"

#include <cmath>
#include <numbers>

namespace {
constexpr float OutlineWidth = 6;
}

float TArrow::HeadSize(float width) {
    const float s = 3 * width;
    return s > 3 ? s : 4;
}

TArrow::TArrow(TFloatPoint start, TFloatPoint tip, float width)
    : FStart(start), FNotch(start), FWidth(width), FSize(HeadSize(width)) {
    const double dx = double(start.X) - tip.X, dy = double(start.Y) - tip.Y;
    const double len = std::hypot(dx, dy);
    if (!(len > 0) || !std::isfinite(len)) return;
    const double ux = dx / len, uy = dy / len;
    const double s = FSize;
    const double bx = tip.X + (s + OutlineWidth) * ux, by = tip.Y + (s + OutlineWidth) * uy;
    const double barb = s / std::numbers::sqrt3;
    // u rotated by +-60 degrees.
    const double c = 0.5, sn = std::numbers::sqrt3 / 2;
    const TFloatPoint w1{float(bx + barb * (ux * c - uy * sn)),
                         float(by + barb * (ux * sn + uy * c))};
    const TFloatPoint w2{float(bx + barb * (ux * c + uy * sn)),
                         float(by + barb * (-ux * sn + uy * c))};
    FNotch = {float(bx), float(by)};
    FHead = {FNotch, w1, tip, w2};
}

std::vector<TRect> TArrow::Draw(TBitmap32& dst, TColor32 colour, int subsamples) const {
    if (FHead.empty()) return {};
    // Shaft and head in one fill: where the shaft's end meets the notch,
    // two separate anti-aliased fills would leave a lighter seam.
    const TStroker shaft{FWidth, esButt, jsBevel};
    const TFloatPoint line[] = {FStart, FNotch};
    std::vector<TPolygon> contours = shaft.Outline(line);
    contours.push_back(FHead);
    OrientPositive(contours.back());
    PolygonFillAA(dst, contours, colour, subsamples);
    return PolygonBands(contours, dst.BoundsRect());
}
