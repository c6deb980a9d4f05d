#pragma once
// Integer rectangle used by every raster operation. Left/Top are inclusive,
// Right/Bottom exclusive, so Width = Right - Left and an empty rectangle has
// no pixels. A rectangle with Right <= Left or Bottom <= Top is empty; call
// Normalized() first where a mirrored rectangle should count.
#include <algorithm>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }

    constexpr bool Contains(int x, int y) const {
        return x >= Left && x < Right && y >= Top && y < Bottom;
    }

    // Empty result (all zero) when the two do not overlap.
    constexpr TRect Intersect(const TRect& o) const {
        const TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
                      std::min(Bottom, o.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }

    // Bounding rectangle; an empty operand does not contribute.
    constexpr TRect Union(const TRect& o) const {
        if (IsEmpty()) return o.IsEmpty() ? TRect{} : o;
        if (o.IsEmpty()) return *this;
        return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
                std::max(Bottom, o.Bottom)};
    }

    // Swaps mirrored coordinates so that Left <= Right and Top <= Bottom.
    constexpr TRect Normalized() const {
        return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
                std::max(Top, Bottom)};
    }

    constexpr TRect Offset(int dx, int dy) const {
        return {Left + dx, Top + dy, Right + dx, Bottom + dy};
    }

    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};
