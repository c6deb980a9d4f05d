#include "gfx/BitmapLayer.h"

#include <utility>

void TBitmapLayer::SetBitmap(TBitmap32 bitmap) {
    Changed();
    FBitmap = std::move(bitmap);
    Changed();
}

void TBitmapLayer::SetLocation(const TRect& location) {
    if (location == FLocation) return;
    Changed();
    FLocation = location;
    Changed();
}

void TBitmapLayer::SetDrawMode(TDrawMode mode) {
    if (mode == FDrawMode) return;
    FDrawMode = mode;
    Changed();
}

TRect TBitmapLayer::Bounds() const {
    const TRect shown{FLocation.Left, FLocation.Top, FLocation.Left + FBitmap.Width(),
                      FLocation.Top + FBitmap.Height()};
    return shown.Intersect(FLocation);
}

bool TBitmapLayer::HitTest(int x, int y) const {
    return MouseEvents() && FLocation.Contains(x, y);
}

void TBitmapLayer::Paint(TBitmap32& buffer, const TRect& clip) {
    const TRect area = Bounds().Intersect(clip);
    if (area.IsEmpty()) return;
    const TRect src = area.Offset(-FLocation.Left, -FLocation.Top);
    if (FDrawMode == dmBlend)
        buffer.DrawBlend(area.Left, area.Top, FBitmap, src);
    else
        buffer.Draw(area.Left, area.Top, FBitmap, src);
}
