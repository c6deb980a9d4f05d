#include "annotate/DrawImageLayer.h"

TDrawImageLayer::TDrawImageLayer(TImageView& view) : TBitmapLayer(view) {
    SetLayerOptions(LOB_VISIBLE);
    SetDrawMode(dmBlend);
}

void TDrawImageLayer::Reset(int width, int height) {
    if (Bitmap().Width() == width && Bitmap().Height() == height) {
        ClearDrawn();
    } else {
        SetBitmap(TBitmap32(width, height, DrawImageEmpty));
        FDrawnArea = {};
        FDrawnRects.clear();
    }
    SetLocation({0, 0, width, height});
}

TRect TDrawImageLayer::Bounds() const {
    return TBitmapLayer::Bounds().Intersect(FDrawnArea);
}

void TDrawImageLayer::ClearDrawn() {
    for (const TRect& r : FDrawnRects)
        ClearArea(r);
    FDrawnRects.clear();
    FDrawnArea = {};
}

void TDrawImageLayer::Merged() {
    for (const TRect& r : FDrawnRects)
        Bitmap().FillRect(r.Intersect(Bitmap().BoundsRect()), DrawImageEmpty);
    FDrawnRects.clear();
    FDrawnArea = {};
}

void TDrawImageLayer::ClearArea(const TRect& area) {
    const TRect r = area.Intersect(Bitmap().BoundsRect());
    if (r.IsEmpty()) return;
    Bitmap().FillRect(r, DrawImageEmpty);
    Changed(r);
}

void TDrawImageLayer::Drawn(std::span<const TRect> areas) {
    // A freehand stroke adds a rectangle per point; past a few hundred the
    // list costs more to walk than the union costs to clear.
    constexpr std::size_t MaxRects = 256;
    for (const TRect& area : areas) {
        const TRect r = area.Intersect(Bitmap().BoundsRect());
        if (r.IsEmpty()) continue;
        FDrawnArea = FDrawnArea.Union(r);
        FDrawnRects.push_back(r);
        Changed(r);
    }
    if (FDrawnRects.size() > MaxRects) FDrawnRects.assign(1, FDrawnArea);
}
