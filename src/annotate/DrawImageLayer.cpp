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
    }
    SetLocation({0, 0, width, height});
}

void TDrawImageLayer::ClearDrawn() {
    ClearArea(FDrawnArea);
    FDrawnArea = {};
}

void TDrawImageLayer::ClearArea(const TRect& area) {
    const TRect r = area.Intersect(Bitmap().BoundsRect());
    if (r.IsEmpty()) return;
    Bitmap().FillRect(r, DrawImageEmpty);
    Changed(r);
}

void TDrawImageLayer::Drawn(const TRect& area) {
    const TRect r = area.Intersect(Bitmap().BoundsRect());
    if (r.IsEmpty()) return;
    FDrawnArea = FDrawnArea.Union(r);
    Changed(r);
}
