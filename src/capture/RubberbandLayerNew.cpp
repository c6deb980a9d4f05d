#include "capture/RubberbandLayerNew.h"

#include "gfx/ImageView.h"
#include "gfx/Point.h"
#include "gfx/PolygonFill.h"
#include "gfx/TextRasterizer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace {
constexpr std::array<TColor32, 8> FrameStipple = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                                                  0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
constexpr TColor32 HintShadow = 0xFF808080;
constexpr TColor32 LabelBackground = 0x7F000000;
constexpr int HandleOuter = 2 * TRubberbandLogic::HandleSize;
constexpr int HandleInner = 2 * (TRubberbandLogic::HandleSize - 1);
const wchar_t HintText[] = L"Выберите область";

// The drawing surface's default font: the dialog face at 8 points.
const TFontDesc& LabelFont() {
    static const TFontDesc font = DefaultDialogFont();
    return font;
}

void BlendBand(TBitmap32& buf, const TRect& band, const TRect& clip) {
    buf.FillRectBlend(band.Intersect(clip), DimColor);
}

void FillDiscClipped(TBitmap32& buf, int cx, int cy, int r, TColor32 c, const TRect& clip) {
    const TRect bounds{cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1};
    if (bounds.Intersect(clip).IsEmpty()) return;
    const TPolygon disc = DiscPolygon(float(cx), float(cy), float(r));
    PolygonFillAA(buf, std::span<const TPolygon>(&disc, 1), c, 16, clip);
}
} // namespace

void DrawDashedFrame(TBitmap32& buf, const TRect& r, const TRect& clip,
                     std::span<const TColor32> pattern) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const TRect c = clip.Intersect(buf.BoundsRect());
    if (c.IsEmpty()) return;
    if (pattern.empty()) return;
    auto colour = [pattern](long long counter) {
        return pattern[std::size_t(counter) % pattern.size()];
    };
    const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
    if (rr == l || b == t) {
        for (int y = std::max(t, c.Top); y <= std::min(b, c.Bottom - 1); ++y)
            for (int x = std::max(l, c.Left); x <= std::min(rr, c.Right - 1); ++x)
                buf.SetPixel(x, y, colour((long long)(y - t) * r.Width() + (x - l)));
        return;
    }
    // Each side walks only its clipped part; the counter is where the
    // clockwise walk would be at that pixel.
    const long long w = rr - l, h = b - t;
    if (t >= c.Top && t < c.Bottom)
        for (int x = std::max(l, c.Left); x < std::min(rr, c.Right); ++x)
            buf.SetPixel(x, t, colour(x - l));
    if (rr >= c.Left && rr < c.Right)
        for (int y = std::max(t, c.Top); y < std::min(b, c.Bottom); ++y)
            buf.SetPixel(rr, y, colour(w + (y - t)));
    if (b >= c.Top && b < c.Bottom)
        for (int x = std::max(l + 1, c.Left); x <= std::min(rr, c.Right - 1); ++x)
            buf.SetPixel(x, b, colour(w + h + (rr - x)));
    if (l >= c.Left && l < c.Right)
        for (int y = std::max(t + 1, c.Top); y <= std::min(b, c.Bottom - 1); ++y)
            buf.SetPixel(l, y, colour(2 * w + h + (b - y)));
}

TRect PaintedSelection(const TFloatRect& location) {
    TRect r = RoundRect(location);
    if (r.Right < r.Left) std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
    return r;
}

TRubberbandLayerNew::TRubberbandLayerNew(TImageView& view, TTextRasterizer& text,
                                         TCursorPos cursorPos)
    : TCustomLayer(view), FText(text), FCursorPos(std::move(cursorPos)) {
    FLogic.OnResizing = [this](const TFloatRect& o, TFloatRect& n, TDragState s, TShiftState k) {
        if (OnResizing) OnResizing(o, n, s, k);
    };
    FLogic.HasLiveTool = [this] { return HasLiveTool && HasLiveTool(); };
}

void TRubberbandLayerNew::SyncLogic() const {
    FLogic.SelectState = SelectState;
}

void TRubberbandLayerNew::SetLocation(const TFloatRect& r) {
    const TFloatRect old = FLogic.Location();
    if (old == r) return;
    FLogic.SetLocation(r);
    if (!FLogic.VisibleRect) return;
    // Darkening changes only inside the old or new selection; the frame,
    // handles and label are drawn around them.
    Changed(FrameArea(old));
    Changed(FrameArea(r));
}

void TRubberbandLayerNew::SetVisibleRect(bool visible) {
    if (FLogic.VisibleRect == visible) return;
    FLogic.VisibleRect = visible;
    FLastHint = HintBox(PointerClient().Left, PointerClient().Top);
    Changed();
}

TRect TRubberbandLayerNew::PointerClient() const {
    const TPoint p = FCursorPos ? FCursorPos() : TPoint{};
    const int x = p.X - FLogic.RectWork.Left, y = p.Y - FLogic.RectWork.Top;
    return {x, y, x, y};
}

void TRubberbandLayerNew::PointerMoved() {
    if (FLogic.VisibleRect) return; // nothing drawn depends on the pointer
    const TRect p = PointerClient();
    const TRect hint = HintBox(p.Left, p.Top);
    if (hint == FLastHint) return;
    Changed(FLastHint);
    FLastHint = hint;
    Changed(hint);
}

TRect TRubberbandLayerNew::HintBox(int pointerX, int pointerY) const {
    const TTextExtent e = FText.TextExtent(LabelFont(), HintText);
    const int x = pointerX + 15, y = pointerY + 15;
    // Box plus its 2-pixel shadow.
    return {x, y, x + e.Width + 12, y + e.Height + 12};
}

std::wstring TRubberbandLayerNew::SizeLabelText(const TRect& sel) const {
    return std::to_wstring(std::abs(sel.Right - sel.Left)) + L"x" +
           std::to_wstring(std::abs(sel.Bottom - sel.Top));
}

TRect TRubberbandLayerNew::SizeLabelBox(const TRect& sel) const {
    const TTextExtent e = FText.TextExtent(LabelFont(), SizeLabelText(sel));
    return {sel.Left, sel.Top - e.Height - 12, sel.Left + e.Width + 10, sel.Top - 7};
}

TRect TRubberbandLayerNew::FrameArea(const TFloatRect& location) const {
    const TRect r = PaintedSelection(location);
    const int m = HandleOuter + 2;
    const TRect handles{r.Left - m, r.Top - m, r.Right + m, r.Bottom + m};
    return handles.Union(SizeLabelBox(r));
}

TDragState TRubberbandLayerNew::DragStateAt(int x, int y) const {
    SyncLogic();
    return FLogic.DragStateAt(x, y);
}

bool TRubberbandLayerNew::HitTest(int x, int y) const {
    return DragStateAt(x, y) != dsNone;
}

void TRubberbandLayerNew::MouseDown(const TViewMouse& m) {
    SyncLogic();
    FLogic.MouseDown(m.X, m.Y);
}

void TRubberbandLayerNew::MouseMove(const TViewMouse& m) {
    SyncLogic();
    const TFloatRect before = FLogic.Location();
    const TRubberbandMove result = FLogic.MouseMove(m.Shift, m.X, m.Y);
    if (result.SetCursor && OnCursor) OnCursor(result.Cursor);
    const TFloatRect after = FLogic.Location();
    if (!(before == after) && FLogic.VisibleRect) {
        Changed(FrameArea(before));
        Changed(FrameArea(after));
    }
}

void TRubberbandLayerNew::MouseUp(const TViewMouse&) {
    FLogic.MouseUp();
}

void TRubberbandLayerNew::Paint(TBitmap32& buffer, const TRect& clip) {
    if (FLogic.VisibleRect)
        PaintSelection(buffer, clip);
    else
        PaintHint(buffer, clip);
}

void TRubberbandLayerNew::PaintHint(TBitmap32& buffer, const TRect& clip) {
    const int w = FLogic.RectWork.Width(), h = FLogic.RectWork.Height();
    BlendBand(buffer, {0, 0, w, h}, clip);
    const TRect box = FLastHint;
    if (box.Intersect(clip).IsEmpty()) return;
    const int x = box.Left, y = box.Top;
    const TRect face{x, y, box.Right - 2, box.Bottom - 2};
    buffer.FillRect(TRect{x + 2, y + 2, box.Right, box.Bottom}.Intersect(clip), HintShadow);
    buffer.FillRect(face.Intersect(clip), 0xFFFFFFFF);
    DrawTextCentered(buffer, face, HintText, LabelFont(), 0xFF000000, FText, clip);
}

void TRubberbandLayerNew::PaintSelection(TBitmap32& buffer, const TRect& clip) {
    const TRect r = PaintedSelection(FLogic.Location());
    const int w = FLogic.RectWork.Width();
    DrawDashedFrame(buffer, r, clip, FrameStipple);
    BlendBand(buffer, {0, 0, w, r.Top}, clip);
    BlendBand(buffer, {0, r.Top, r.Left, r.Bottom}, clip);
    BlendBand(buffer, {0, r.Bottom, w, buffer.Height()}, clip);
    BlendBand(buffer, {r.Right, r.Top, w, r.Bottom}, clip);

    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const std::array<std::pair<int, int>, 8> handles = {{{cx, r.Top},
                                                         {r.Left, cy},
                                                         {r.Right, cy},
                                                         {cx, r.Bottom},
                                                         {r.Left, r.Top},
                                                         {r.Right, r.Top},
                                                         {r.Left, r.Bottom},
                                                         {r.Right, r.Bottom}}};
    for (const auto& [x, y] : handles) {
        FillDiscClipped(buffer, x, y, HandleOuter, 0xFFFFFFFF, clip);
        FillDiscClipped(buffer, x, y, HandleInner, 0xFF000000, clip);
    }

    const TRect label = SizeLabelBox(r);
    if (label.Intersect(clip).IsEmpty()) return;
    buffer.FillRectBlend(label.Intersect(clip), LabelBackground);
    DrawTextCentered(buffer, label, SizeLabelText(r), LabelFont(), 0xFFFFFFFF, FText, clip);
}
