#include "gfx/RowExtents.h"

#include <algorithm>
#include <climits>

std::vector<TRect> RowExtents(std::span<const TRect> rects) {
    TRect area;
    for (const TRect& r : rects)
        if (!r.IsEmpty()) area = area.Union(r);
    std::vector<TRect> out;
    if (area.IsEmpty()) return out;
    struct TSpan {
        int Left = INT_MAX;
        int Right = INT_MIN;
        bool operator==(const TSpan&) const = default;
    };
    std::vector<TSpan> rows(std::size_t(area.Height()));
    for (const TRect& r : rects) {
        if (r.IsEmpty()) continue;
        for (int y = r.Top; y < r.Bottom; ++y) {
            TSpan& s = rows[std::size_t(y - area.Top)];
            s = {std::min(s.Left, r.Left), std::max(s.Right, r.Right)};
        }
    }
    for (int y = area.Top; y < area.Bottom;) {
        const TSpan s = rows[std::size_t(y - area.Top)];
        int end = y + 1;
        while (end < area.Bottom && rows[std::size_t(end - area.Top)] == s)
            ++end;
        if (s.Left < s.Right) out.push_back({s.Left, y, s.Right, end});
        y = end;
    }
    return out;
}
