#include "gfx/DirtyRegion.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {
// Worth merging when the union is at most 25 % larger than the two parts
// (overlapping parts count twice, so heavy overlap always merges).
bool WorthMerging(const TRect& a, const TRect& b) {
    const std::int64_t parts = TDirtyRegion::Area(a) + TDirtyRegion::Area(b);
    return TDirtyRegion::Area(a.Union(b)) * 4 <= parts * 5;
}
} // namespace

void TDirtyRegion::Add(const TRect& area) {
    if (area.IsEmpty()) return;
    TRect r = area;
    // A merge grows r, which may make it worth merging with a rectangle it
    // skipped before: scan again until nothing merges.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = FRects.begin(); it != FRects.end(); ++it)
            if (WorthMerging(*it, r)) {
                r = r.Union(*it);
                FRects.erase(it);
                merged = true;
                break;
            }
    }
    if (FRects.size() < MaxRects) {
        FRects.push_back(r);
        return;
    }
    // Full: r joins the rectangle it wastes least with. Looking at r's
    // partners only keeps a long run of small changes linear.
    std::size_t best = 0;
    std::int64_t bestWaste = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < FRects.size(); ++i) {
        const std::int64_t waste = Area(FRects[i].Union(r)) - Area(FRects[i]) - Area(r);
        if (waste < bestWaste) {
            bestWaste = waste;
            best = i;
        }
    }
    const TRect u = FRects[best].Union(r);
    FRects.erase(FRects.begin() + std::ptrdiff_t(best));
    Add(u);
}

void TDirtyRegion::RemoveCovered(const TRect& area) {
    std::erase_if(FRects, [&](const TRect& r) { return area.Union(r) == area; });
}

std::vector<TRect> TDirtyRegion::Take() {
    return std::exchange(FRects, {});
}
