#include "capture/RubberBandLayerEx.h"

#include "capture/RubberbandLayerNew.h"

#include <array>

namespace {
constexpr std::array<TColor32, 4> BoxStipple = {0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000};
} // namespace

TRubberBandLayerEx::TRubberBandLayerEx(TImageView& view) : TCustomLayer(view) {
    SetCursor(crSizeAll);
}

void TRubberBandLayerEx::SetLocation(const TRect& r) {
    if (r != FLocation) {
        Changed();
        FLocation = r;
        Changed();
    }
    if (ChildLayer) ChildLayer->SetLocation(r);
}

bool TRubberBandLayerEx::InBand(int x, int y) const {
    if (!FLocation.Contains(x, y)) return false;
    const TRect inner{FLocation.Left + FMagrin, FLocation.Top + FMagrin, FLocation.Right - FMagrin,
                      FLocation.Bottom - FMagrin};
    return !inner.Contains(x, y);
}

void TRubberBandLayerEx::MouseDown(const TViewMouse& m) {
    if (FDragging || !InBand(m.X, m.Y)) return;
    FDragging = true;
    FShiftX = m.X - FLocation.Left;
    FShiftY = m.Y - FLocation.Top;
}

void TRubberBandLayerEx::MouseMove(const TViewMouse& m) {
    if (!FDragging) return;
    const int left = m.X - FShiftX, top = m.Y - FShiftY;
    SetLocation(FLocation.Offset(left - FLocation.Left, top - FLocation.Top));
}

void TRubberBandLayerEx::MouseUp(const TViewMouse&) {
    FDragging = false;
}

void TRubberBandLayerEx::Paint(TBitmap32& buffer, const TRect& clip) {
    DrawDashedFrame(buffer, FLocation, clip, BoxStipple);
}
