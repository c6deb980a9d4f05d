#include "gfx/PolygonFill.h"

#include "gfx/Blend.h"
#include "gfx/SmallBuffer.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace {
// Horizontal positions are fixed point with this many steps per pixel.
constexpr int XShift = 8;
constexpr int XOne = 1 << XShift;

struct TEdge {
    double YTop;
    double YBottom;
    double XTop;
    double Slope; // dx/dy
    int Dir;      // +1 downwards, -1 upwards
    // Where the edge is on the current pixel row: it spans sub-scanlines
    // SFirst .. SEnd - 1, crossing sub-scanline s at RowX + s * RowDx (in
    // fixed point); outside that it keeps the x of its nearer end.
    int SFirst;
    int SEnd;
    int XTopFixed;
    int XBottomFixed;
    double RowX;
    double RowDx;
};

// An edge of the active list with its crossing on the current sub-scanline;
// Dir is 0 when the edge does not span it (it starts or ends within the row).
struct TActive {
    std::uint32_t Edge;
    int X;
    int Dir;
};

constexpr std::size_t StackEdges = 256;
constexpr std::size_t StackCells = 2048;

bool Finite(TFloatPoint p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

// The list stays ordered from one sub-scanline to the next, so it is nearly
// sorted each time and insertion sort does little work.
void SortByX(TActive* a, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) {
        const TActive v = a[i];
        std::size_t j = i;
        for (; j > 0 && a[j - 1].X > v.X; --j)
            a[j] = a[j - 1];
        a[j] = v;
    }
}

// Cells are grouped in blocks of BlockCells; a bit per block says whether
// any of its cells may be non-zero, so a wide row with a few edges (the two
// sides of a large outline) skips its empty middle a word at a time.
constexpr int BlockShift = 4;
constexpr int BlockCells = 1 << BlockShift;

class TTouchedBlocks {
public:
    explicit TTouchedBlocks(std::size_t cells) : FWords((cells >> BlockShift) / 64 + 1) {
        std::fill_n(FWords.Data(), FWords.Size(), 0);
    }
    void Mark(int cell) {
        const unsigned b = unsigned(cell) >> BlockShift;
        FWords[b / 64] |= std::uint64_t(1) << (b % 64);
    }
    // The first cell of the first marked block at or after cell's block;
    // past limit when there is none up to limit.
    int NextMarked(int cell, int limit) const {
        unsigned b = unsigned(cell) >> BlockShift;
        std::size_t w = b / 64;
        std::uint64_t bits = FWords[w] & (~std::uint64_t(0) << (b % 64));
        while (bits == 0) {
            if ((++w * 64) << BlockShift > std::size_t(limit)) return limit + 1;
            bits = FWords[w];
        }
        return int(((w * 64) + unsigned(std::countr_zero(bits))) << BlockShift);
    }
    void Clear(int first, int last) {
        for (std::size_t w = (unsigned(first) >> BlockShift) / 64,
                         e = (unsigned(last) >> BlockShift) / 64;
             w <= e; ++w)
            FWords[w] = 0;
    }

private:
    TSmallBuffer<std::uint64_t, 64> FWords;
};

// Writes one pixel row: cells hold coverage deltas (prefix sums give the
// covered length in 1/256 pixel, summed over all sub-scanlines). A run of
// zero deltas has constant coverage and is blended as one span, which keeps
// the interior of large shapes on the vectorisable span loop.
void ResolveRow(TColor32* row, std::int32_t* cells, TTouchedBlocks& touched, int first, int last,
                int maxCoverage, TColor32 colour) {
    const std::uint32_t ca = colour >> 24;
    const TColor32 rgb = colour & 0x00FFFFFFu;
    // alpha = ca * coverage / maxCoverage, in 24-bit fixed point.
    const std::uint64_t scale = ((std::uint64_t(ca) << 24) + maxCoverage / 2) / maxCoverage;
    std::int32_t coverage = 0;
    int i = first;
    while (i <= last) {
        coverage += cells[i];
        cells[i] = 0;
        int end = i + 1;
        while (end <= last) {
            if ((end & (BlockCells - 1)) == 0) {
                end = std::max(end, touched.NextMarked(end, last));
                if (end > last) break;
            }
            if (cells[end] != 0) break;
            ++end;
        }
        end = std::min(end, last + 1);
        if (coverage >= maxCoverage) {
            BlendSpan(row + i, end - i, colour);
        } else if (coverage > 0) {
            const auto a = std::uint32_t((std::uint64_t(coverage) * scale + (1u << 23)) >> 24);
            BlendSpan(row + i, end - i, rgb | (a << 24));
        }
        i = end;
    }
}
} // namespace

void PolygonFillAA(TBitmap32& dst, std::span<const TPolygon> contours, TColor32 colour,
                   int subsamples, const TRect& clip) {
    if (subsamples < 1 || subsamples > 256)
        throw std::invalid_argument("PolygonFillAA: sub-samples out of range");
    const TRect area = clip.Intersect(dst.BoundsRect());
    if (area.IsEmpty() || (colour >> 24) == 0) return;

    std::size_t edgeCount = 0;
    for (const auto& c : contours)
        edgeCount += c.size();
    if (edgeCount == 0) return;

    TSmallBuffer<TEdge, StackEdges> edges(edgeCount);
    std::size_t n = 0;
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    for (const auto& contour : contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const TFloatPoint a = contour[i];
            const TFloatPoint b = contour[i + 1 == contour.size() ? 0 : i + 1];
            if (a.Y == b.Y || !Finite(a) || !Finite(b)) continue;
            const bool down = a.Y < b.Y;
            const TFloatPoint top = down ? a : b, bottom = down ? b : a;
            TEdge& e = edges[n++];
            e.YTop = top.Y;
            e.YBottom = bottom.Y;
            e.XTop = top.X;
            e.Slope = (double(bottom.X) - top.X) / (double(bottom.Y) - top.Y);
            e.Dir = down ? 1 : -1;
            minX = std::min({minX, double(a.X), double(b.X)});
            maxX = std::max({maxX, double(a.X), double(b.X)});
            minY = std::min(minY, e.YTop);
            maxY = std::max(maxY, e.YBottom);
        }
    }
    if (n == 0) return;

    const int x0 = int(std::clamp(std::floor(minX), double(area.Left), double(area.Right)));
    const int x1 = int(std::clamp(std::ceil(maxX), double(area.Left), double(area.Right)));
    const int y0 = int(std::clamp(std::floor(minY), double(area.Top), double(area.Bottom)));
    const int y1 = int(std::clamp(std::ceil(maxY), double(area.Top), double(area.Bottom)));
    if (x0 >= x1 || y0 >= y1) return;

    std::sort(edges.Data(), edges.Data() + n,
              [](const TEdge& a, const TEdge& b) { return a.YTop < b.YTop; });

    const int width = x1 - x0;
    TSmallBuffer<std::int32_t, StackCells> cells(std::size_t(width) + 2);
    std::fill_n(cells.Data(), cells.Size(), 0);
    TTouchedBlocks touched(cells.Size());
    TSmallBuffer<TActive, StackEdges> active(n);
    std::size_t activeCount = 0, next = 0;
    int prevFirst = 0, prevLast = -1;

    const double minFixed = double(x0) * XOne, maxFixed = double(x1) * XOne;
    auto fixedX = [&](double x) { return int(std::clamp(x * XOne, minFixed, maxFixed) + 0.5); };
    for (std::size_t i = 0; i < n; ++i) {
        TEdge& e = edges[i];
        e.XTopFixed = fixedX(e.XTop);
        e.XBottomFixed = fixedX(e.XTop + (e.YBottom - e.YTop) * e.Slope);
    }
    const int maxCoverage = subsamples * XOne;
    const double step = 1.0 / subsamples;

    for (int y = y0; y < y1; ++y) {
        // Drop finished edges, then take in those that start in this row.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < activeCount; ++i)
            if (edges[active[i].Edge].YBottom > y) active[kept++] = active[i];
        activeCount = kept;
        // Edges that already ended above the clip never enter: a clipped
        // redraw of a long stroke would otherwise sweep all of them here.
        for (; next < n && edges[next].YTop < y + 1; ++next)
            if (edges[next].YBottom > y) active[activeCount++] = {std::uint32_t(next), 0, 0};
        if (activeCount == 0) {
            if (next == n) break;
            // Skip to the next edge's first row (bounded: YTop may be huge).
            y = std::max(y, int(std::min(std::floor(edges[next].YTop), double(y1))) - 1);
            continue;
        }

        // The row's pixels are most likely where the last row's were; asking
        // for them now lets memory catch up while the sub-scanlines run.
        if (prevLast >= 0) {
            const char* p = reinterpret_cast<const char*>(dst.Row(y) + x0 + prevFirst);
            const char* end = reinterpret_cast<const char*>(dst.Row(y) + x0 + prevLast);
            for (int lines = 0; p <= end && lines < 64; p += 64, ++lines)
                __builtin_prefetch(p, 1);
        }
        int first = INT_MAX, last = -1;
        auto addEndpoint = [&](int xf, std::int32_t sign) {
            const int ix = (xf >> XShift) - x0;
            const int fx = xf & (XOne - 1);
            cells[ix] += sign * (XOne - fx);
            cells[ix + 1] += sign * fx;
            touched.Mark(ix);
            touched.Mark(ix + 1);
            first = std::min(first, ix);
            last = std::max(last, ix + 1);
        };

        // Sub-scanline s of row y lies at y + (s + 0.5) / subsamples.
        const double yFirst = y + 0.5 * step;
        auto subRow = [&](double yEdge) {
            return int(
                std::clamp(std::ceil((yEdge - y) * subsamples - 0.5), 0.0, double(subsamples)));
        };
        for (std::size_t i = 0; i < activeCount; ++i) {
            TEdge& e = edges[active[i].Edge];
            e.SFirst = subRow(e.YTop);
            e.SEnd = subRow(e.YBottom);
            e.RowX = (e.XTop + (yFirst - e.YTop) * e.Slope) * XOne;
            e.RowDx = e.Slope * step * XOne;
        }
        for (int s = 0; s < subsamples; ++s) {
            for (std::size_t i = 0; i < activeCount; ++i) {
                TActive& a = active[i];
                const TEdge& e = edges[a.Edge];
                // An edge outside its y range keeps the x of its nearer end,
                // which keeps short edges in place in the sorted list.
                if (s < e.SFirst) {
                    a.X = e.XTopFixed;
                    a.Dir = 0;
                } else if (s >= e.SEnd) {
                    a.X = e.XBottomFixed;
                    a.Dir = 0;
                } else {
                    a.X = int(std::clamp(e.RowX + s * e.RowDx, minFixed, maxFixed) + 0.5);
                    a.Dir = e.Dir;
                }
            }
            SortByX(active.Data(), activeCount);
            int winding = 0, spanStart = 0;
            for (std::size_t i = 0; i < activeCount; ++i) {
                const TActive& a = active[i];
                if (a.Dir == 0) continue;
                const int before = winding;
                winding += a.Dir;
                if (before == 0) {
                    spanStart = a.X;
                } else if (winding == 0 && a.X > spanStart) {
                    addEndpoint(spanStart, 1);
                    addEndpoint(a.X, -1);
                }
            }
        }
        if (last < 0) {
            prevLast = -1;
            continue;
        }
        // The cell past the last pixel only ever balances to zero; clear it.
        const int lastPixel = std::min(last, width - 1);
        prevFirst = first;
        prevLast = lastPixel;
        ResolveRow(dst.Row(y) + x0, cells.Data(), touched, first, lastPixel, maxCoverage, colour);
        for (int i = lastPixel + 1; i <= last; ++i)
            cells[i] = 0;
        touched.Clear(first, last);
    }
}

void PolygonFillAA(TBitmap32& dst, std::span<const TPolygon> contours, TColor32 colour,
                   int subsamples) {
    PolygonFillAA(dst, contours, colour, subsamples, dst.BoundsRect());
}

void PolygonFillAA(TBitmap32& dst, std::span<const TFloatPoint> contour, TColor32 colour,
                   int subsamples) {
    const TPolygon one(contour.begin(), contour.end());
    PolygonFillAA(dst, std::span<const TPolygon>(&one, 1), colour, subsamples);
}

void FlattenCubicBezier(TFloatPoint p0, TFloatPoint p1, TFloatPoint p2, TFloatPoint p3,
                        std::vector<TFloatPoint>& out, float tolerance) {
    // A chord of a curve whose second derivative is bounded by M deviates at
    // most M / (8 n^2); for a cubic M <= 6 * max |second difference|.
    const double ddx = std::max(std::abs(double(p0.X) - 2.0 * p1.X + p2.X),
                                std::abs(double(p1.X) - 2.0 * p2.X + p3.X));
    const double ddy = std::max(std::abs(double(p0.Y) - 2.0 * p1.Y + p2.Y),
                                std::abs(double(p1.Y) - 2.0 * p2.Y + p3.Y));
    const double dd = std::hypot(ddx, ddy);
    const double tol = tolerance > 0 ? tolerance : 0.1;
    const double want = std::ceil(std::sqrt(0.75 * dd / tol));
    const int steps = std::isfinite(want) ? int(std::clamp(want, 1.0, 1024.0)) : 1;
    for (int i = 1; i < steps; ++i) {
        const double t = double(i) / steps, u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back({float(a * p0.X + b * p1.X + c * p2.X + d * p3.X),
                       float(a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y)});
    }
    out.push_back(p3);
}

TPolygon DiscPolygon(float cx, float cy, float r) {
    TPolygon out;
    if (!(r > 0)) return out;
    constexpr float Kappa = 0.5523f;
    const float k = r * Kappa;
    // Quarter arcs from +x through +y, -x and -y back to +x.
    // Chords cut about (4/3) * tolerance / r of the area off a circle: a
    // tolerance proportional to r keeps that near 0.3 % for the 4 px handles
    // without flooding large discs with tiny edges.
    const float tolerance = std::clamp(r * 0.0025f, 0.002f, 0.1f);
    const TFloatPoint east{cx + r, cy}, south{cx, cy + r}, west{cx - r, cy}, north{cx, cy - r};
    out.push_back(east);
    FlattenCubicBezier(east, {cx + r, cy + k}, {cx + k, cy + r}, south, out, tolerance);
    FlattenCubicBezier(south, {cx - k, cy + r}, {cx - r, cy + k}, west, out, tolerance);
    FlattenCubicBezier(west, {cx - r, cy - k}, {cx - k, cy - r}, north, out, tolerance);
    FlattenCubicBezier(north, {cx + k, cy - r}, {cx + r, cy - k}, east, out, tolerance);
    out.pop_back(); // the closing point repeats the first
    return out;
}

TRect FillDiscAA(TBitmap32& dst, float cx, float cy, float r, TColor32 colour, int subsamples) {
    const TPolygon disc = DiscPolygon(cx, cy, r);
    const std::span<const TPolygon> contours(&disc, 1);
    PolygonFillAA(dst, contours, colour, subsamples);
    return PolygonBounds(contours).Intersect(dst.BoundsRect());
}

double SignedArea(const TPolygon& p) {
    double a = 0;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        a += double(p[j].X) * p[i].Y - double(p[i].X) * p[j].Y;
    return a / 2;
}

void OrientPositive(TPolygon& p) {
    if (SignedArea(p) < 0) std::reverse(p.begin(), p.end());
}

TRect PolygonBounds(std::span<const TPolygon> contours) {
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    for (const auto& contour : contours)
        for (const TFloatPoint p : contour) {
            if (!Finite(p)) continue;
            minX = std::min(minX, double(p.X));
            maxX = std::max(maxX, double(p.X));
            minY = std::min(minY, double(p.Y));
            maxY = std::max(maxY, double(p.Y));
        }
    if (minX > maxX) return {};
    // Clamped so that huge coordinates cannot overflow int.
    static constexpr double Limit = 1 << 30;
    auto lo = [](double v) { return int(std::clamp(std::floor(v), -Limit, Limit)); };
    auto hi = [](double v) { return int(std::clamp(std::ceil(v), -Limit, Limit)) + 1; };
    return {lo(minX), lo(minY), hi(maxX), hi(maxY)};
}

std::vector<TRect> PolygonBands(std::span<const TPolygon> contours, const TRect& clip,
                                int bandHeight) {
    if (bandHeight < 1) throw std::invalid_argument("PolygonBands: band height below 1");
    std::vector<TRect> out;
    std::vector<std::pair<double, double>> extent;
    for (const TPolygon& contour : contours) {
        const TRect box = PolygonBounds(std::span(&contour, 1)).Intersect(clip);
        if (box.IsEmpty()) continue;
        if (box.Height() <= bandHeight) {
            out.push_back(box);
            continue;
        }
        const int bands = (box.Height() + bandHeight - 1) / bandHeight;
        extent.assign(std::size_t(bands), {INFINITY, -INFINITY});
        auto bandOf = [&](double y) {
            return std::clamp(int(std::floor((y - box.Top) / bandHeight)), 0, bands - 1);
        };
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const TFloatPoint a = contour[i];
            const TFloatPoint b = contour[i + 1 == contour.size() ? 0 : i + 1];
            if (!Finite(a) || !Finite(b)) continue;
            const double yLo = std::min(a.Y, b.Y), yHi = std::max(a.Y, b.Y);
            const double slope = a.Y == b.Y ? 0 : (double(b.X) - a.X) / (double(b.Y) - a.Y);
            auto xAt = [&](double y) { return a.Y == b.Y ? double(a.X) : a.X + (y - a.Y) * slope; };
            for (int k = bandOf(yLo), kEnd = bandOf(yHi); k <= kEnd; ++k) {
                const double top = box.Top + double(k) * bandHeight;
                const double y0 = std::max(yLo, top), y1 = std::min(yHi, top + bandHeight);
                auto& [lo, hi] = extent[std::size_t(k)];
                const double xa = a.Y == b.Y ? a.X : xAt(y0), xb = a.Y == b.Y ? b.X : xAt(y1);
                lo = std::min({lo, xa, xb});
                hi = std::max({hi, xa, xb});
            }
        }
        for (int k = 0; k < bands; ++k) {
            const auto [lo, hi] = extent[std::size_t(k)];
            if (lo > hi) continue;
            const int top = box.Top + k * bandHeight;
            const TRect band{
                int(std::clamp(std::floor(lo), double(box.Left), double(box.Right))), top,
                int(std::clamp(std::ceil(hi) + 1, double(box.Left), double(box.Right))),
                std::min(top + bandHeight, box.Bottom)};
            if (!band.IsEmpty()) out.push_back(band);
        }
    }
    return out;
}
