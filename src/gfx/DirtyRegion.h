#pragma once
// The parts of the image view that wait for a repaint. A short list of
// rectangles rather than one bounding box: two small changes far apart must
// not repaint everything between them. Rectangles merge when their union
// costs little more than painting both, and the list never grows past
// MaxRects (a newcomer then joins its cheapest partner), so bookkeeping stays trivial
// next to the pixels it saves.
#include "gfx/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TDirtyRegion {
public:
    static constexpr std::size_t MaxRects = 64;

    void Add(const TRect& r);
    // Drops the rectangles lying wholly inside area (they have been repainted).
    void RemoveCovered(const TRect& area);
    void Clear() { FRects.clear(); }

    bool Empty() const { return FRects.empty(); }
    const std::vector<TRect>& Rects() const { return FRects; }
    // The pending rectangles; the region is empty afterwards.
    std::vector<TRect> Take();

    static std::int64_t Area(const TRect& r) {
        return r.IsEmpty() ? 0 : std::int64_t(r.Width()) * r.Height();
    }

private:
    std::vector<TRect> FRects;
};
