#include "gfx/CustomLayer.h"

#include "gfx/ImageView.h"

int TCustomLayer::Index() const {
    return FView.IndexOf(this);
}

void TCustomLayer::SetLayerOptions(std::uint32_t options) {
    if (options == FLayerOptions) return;
    const bool wasVisible = Visible();
    FLayerOptions = options;
    if (wasVisible != Visible()) FView.Invalidate(Bounds());
}

void TCustomLayer::SetVisible(bool visible) {
    SetLayerOptions(visible ? FLayerOptions | LOB_VISIBLE : FLayerOptions & ~LOB_VISIBLE);
}

TRect TCustomLayer::Bounds() const {
    return FView.BoundsRect();
}

bool TCustomLayer::HitTest(int, int) const {
    return MouseEvents();
}

void TCustomLayer::Paint(TBitmap32&, const TRect&) {}

void TCustomLayer::Changed(const TRect& area) {
    if (Visible()) FView.Invalidate(area);
}
