#include "widgets/PosBar.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// to - from for from <= to; unsigned because the full 64-bit range does not
// fit in a signed difference.
std::uint64_t Span(std::int64_t from, std::int64_t to) {
    return static_cast<std::uint64_t>(to) - static_cast<std::uint64_t>(from);
}
} // namespace

TPosbar::TPosbar(TForm& owner) : TGraphicControl(owner) {
    SetBounds(Left(), Top(), 150, 24);
}

void TPosbar::SetMin(std::int64_t value) {
    if (value == FMin) return;
    FMin = value;
    FMax = std::max(FMax, FMin);
    FPosition = std::max(FPosition, FMin);
    ClampCuts();
    Invalidate();
}

void TPosbar::SetMax(std::int64_t value) {
    if (value == FMax) return;
    FMax = value;
    FMin = std::min(FMin, FMax);
    FPosition = std::min(FPosition, FMax);
    ClampCuts();
    Invalidate();
}

void TPosbar::SetPosition(std::int64_t value) {
    if (value == FPosition) return;
    FPosition = std::clamp(value, FMin, FMax);
    Invalidate();
}

void TPosbar::SetCutMode(bool value) {
    if (value == FCutMode) return;
    FCutMode = value;
    Invalidate();
}

// The cut invariants make CutEnd - MinCutSize >= Min and CutBegin + MinCutSize
// <= Max, so the last step of either setter stays in range without overflow.
void TPosbar::SetCutBegin(std::int64_t value) {
    if (value == FCutBegin) return;
    value = std::min({std::max(value, FMin), FMax, FCutEnd});
    FCutBegin = std::min(value, FCutEnd - FMinCutSize);
    InvalidateUnlessMoving();
}

void TPosbar::SetCutEnd(std::int64_t value) {
    if (value == FCutEnd) return;
    value = std::max({std::min(value, FMax), FMin, FCutBegin});
    FCutEnd = std::max(value, FCutBegin + FMinCutSize);
    InvalidateUnlessMoving();
}

void TPosbar::SetMinCutSize(std::int64_t value) {
    if (value == FMinCutSize) return;
    FMinCutSize = std::max<std::int64_t>(value, 0);
    ClampCuts();
    InvalidateUnlessMoving();
}

// Restores the cut invariants after the range or the minimum cut size
// changed: CutEnd grows first; where Max stops it, CutBegin gives way.
void TPosbar::ClampCuts() {
    FMinCutSize = std::int64_t(std::min(std::uint64_t(FMinCutSize), Span(FMin, FMax)));
    FCutBegin = std::clamp(FCutBegin, FMin, FMax);
    FCutEnd = std::clamp(FCutEnd, FCutBegin, FMax);
    if (Span(FCutBegin, FCutEnd) < std::uint64_t(FMinCutSize)) {
        FCutEnd = FCutBegin > FMax - FMinCutSize ? FMax : FCutBegin + FMinCutSize;
        FCutBegin = FCutEnd - FMinCutSize;
    }
}

void TPosbar::SetStyle(TPosBarStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    Invalidate();
}

void TPosbar::SetBarVisible(bool value) {
    if (value == FBarVisible) return;
    FBarVisible = value;
    Invalidate();
}

void TPosbar::SetVerticalOrientation(bool value) {
    if (value == FVertical) return;
    FVertical = value;
    Invalidate();
}

void TPosbar::SetBackColor(TColor value) {
    if (value == FBackColor) return;
    FBackColor = value;
    Invalidate();
}

void TPosbar::SetForeColor(TColor value) {
    if (value == FForeColor) return;
    FForeColor = value;
    Invalidate();
}

void TPosbar::SetBorderColor(TColor value) {
    if (value == FBorderColor) return;
    FBorderColor = value;
    Invalidate();
}

void TPosbar::SetSize(int value) {
    if (value == FSize) return;
    FSize = std::max(value, 3);
    if (CrossExtent() < FSize) SetCrossExtent(FSize);
    Invalidate();
}

// The pictures size the control across the bar: its height, or its width
// when vertical (sizing the height would leave a vertical bar no track).
void TPosbar::SetThumbImage(const TPicture& picture) {
    if (picture == FThumbImage) return;
    FThumbImage = picture;
    if (FThumbImage.HasGraphic()) {
        SetCrossExtent(Across(FThumbImage));
        FThumbImage.Transparent = true;
    }
    Invalidate();
}

void TPosbar::SetBgImage(const TPicture& picture) {
    if (picture == FBgImage) return;
    FBgImage = picture;
    if (FBgImage.HasGraphic()) FBgImage.Transparent = true;
    if (CrossExtent() < Across(FBgImage)) SetCrossExtent(Across(FBgImage));
    SetSize(Across(FBgImage));
    Invalidate();
}

void TPosbar::SetCutLeftImage(const TPicture& picture) {
    if (picture == FCutLeftImage) return;
    FCutLeftImage = picture;
    if (FCutLeftImage.HasGraphic()) FCutLeftImage.Transparent = true;
    Invalidate();
}

void TPosbar::SetCutRightImage(const TPicture& picture) {
    if (picture == FCutRightImage) return;
    FCutRightImage = picture;
    if (FCutRightImage.HasGraphic()) FCutRightImage.Transparent = true;
    Invalidate();
}

void TPosbar::SetCrossExtent(int value) {
    if (FVertical)
        SetWidth(value);
    else
        SetHeight(value);
}

void TPosbar::InvalidateUnlessMoving() {
    if (FMoving == msNone) Invalidate();
}

TPosbar::TTrack TPosbar::Track() const {
    const int thumb = FBarVisible ? Along(FThumbImage) : 0;
    const bool cuts = FCutMode && FBarVisible;
    const int cutLeft = cuts ? Along(FCutLeftImage) : 0;
    const int cutRight = cuts ? Along(FCutRightImage) : 0;
    const int along = FVertical ? Height() : Width();
    return {thumb / 2 + cutLeft, along - thumb - cutLeft - cutRight,
            FBarVisible ? (CrossExtent() - FSize) / 2 : 0, FBarVisible ? FSize : 0};
}

// Vertical bars run from the bottom edge up: [a, b) along is mirrored.
TRect TPosbar::AlongRect(int a, int b, int c0, int c1) const {
    if (FVertical) return {c0, Height() - b, c1, Height() - a};
    return {a, c0, b, c1};
}

// On the bar the handles hang below it, outside the selected range; without
// the bar they lie inside it.
TRect TPosbar::CutRect(bool left, const TTrack& t) const {
    const TPicture& picture = left ? FCutLeftImage : FCutRightImage;
    const int p = t.Start + PixelOffset(left ? FCutBegin : FCutEnd, t.Length);
    const int start = FBarVisible == left ? p - Along(picture) : p;
    const int cross = FBarVisible ? t.Cross + t.Thick : 0;
    return AlongRect(start, start + Along(picture), cross, cross + Across(picture));
}

std::int64_t TPosbar::PointerOffset(const TViewMouse& m, const TTrack& t) const {
    return std::int64_t(FVertical ? Height() - m.Y : m.X) - t.Start;
}

// Values are kept within [Min, Max], so the result lies in [0, length].
int TPosbar::PixelOffset(std::int64_t value, int length) const {
    if (length <= 0 || FMax == FMin) return 0;
    const double range = double(FMax) - double(FMin);
    return static_cast<int>(std::nearbyint((double(value) - double(FMin)) / range * length));
}

// Clamped in floating point first: far pointers on wide ranges would not fit
// in 64 bits.
std::int64_t TPosbar::ValueAt(std::int64_t offset, int length) const {
    if (length <= 0 || FMax == FMin) return FMin;
    const double x = double(offset) / length * (double(FMax) - double(FMin)) + double(FMin);
    if (!(x > double(FMin))) return FMin;
    if (x >= double(FMax)) return FMax;
    return std::clamp(static_cast<std::int64_t>(std::nearbyint(x)), FMin, FMax);
}

void TPosbar::Paint(TCanvas& canvas) {
    TGraphicControl::Paint(canvas);
    const TTrack t = Track();
    const int current = PixelOffset(FPosition, t.Length);
    const TColor32 fore = Color32FromColor(FForeColor);
    const bool gauge = FBarVisible && FStyle == pbsGauge;
    if (gauge) {
        const TRect bar = AlongRect(t.Start, t.Start + t.Length, t.Cross, t.Cross + t.Thick);
        canvas.FillRect(bar, Color32FromColor(FBackColor));
        canvas.FrameRect(bar, Color32FromColor(FBorderColor));
        if (!FCutMode)
            canvas.FillRect(AlongRect(t.Start, t.Start + current, t.Cross, t.Cross + t.Thick),
                            fore);
    } else if (FBarVisible) {
        const TRect r =
            AlongRect(t.Start, t.Start + Along(FBgImage), t.Cross, t.Cross + Across(FBgImage));
        canvas.Draw(r.Left, r.Top, FBgImage);
    }
    if (FCutMode) {
        if (gauge) {
            const int pb = t.Start + PixelOffset(FCutBegin, t.Length);
            const int pe = t.Start + PixelOffset(FCutEnd, t.Length);
            canvas.FillRect(AlongRect(pb, pe, t.Cross, t.Cross + t.Thick), fore);
        }
        const TRect left = CutRect(true, t), right = CutRect(false, t);
        canvas.Draw(left.Left, left.Top, FCutLeftImage);
        canvas.Draw(right.Left, right.Top, FCutRightImage);
    }
    if (FBarVisible && FThumbImage.HasGraphic()) {
        const int a = t.Start + current - Along(FThumbImage) / 2;
        const int c = (CrossExtent() - Across(FThumbImage)) / 2;
        const TRect r = AlongRect(a, a + Along(FThumbImage), c, c + Across(FThumbImage));
        canvas.Draw(r.Left, r.Top, FThumbImage);
    }
}

void TPosbar::MouseDown(const TViewMouse& m) {
    TGraphicControl::MouseDown(m);
    if (m.Shift.Contains(ssDouble)) return;
    const TTrack t = Track();
    OldMousePos = {m.X, m.Y};
    FMovingPosition = PointerOffset(m, t);
    FCutDxDy = 0;
    // Handle rectangles include their right and bottom edges.
    const auto hits = [&](const TRect& r) {
        return m.X >= r.Left && m.X <= r.Right && m.Y >= r.Top && m.Y <= r.Bottom;
    };
    const bool left = m.Button == mbLeft;
    if (left && FCutMode && hits(CutRect(true, t))) {
        FMoving = msLeftCut;
        FCutDxDy = PixelOffset(FCutBegin, t.Length) - FMovingPosition;
    } else if (left && FCutMode && hits(CutRect(false, t))) {
        FMoving = msRightCut;
        FCutDxDy = PixelOffset(FCutEnd, t.Length) - FMovingPosition;
    } else if (!left) {
        FMoving = msNone;
    } else {
        FMoving = msProgress;
        SetPosition(ValueAt(FMovingPosition, t.Length));
    }
    if (OnChangePosBegin) OnChangePosBegin(*this, FMoving, FPosition);
}

void TPosbar::Follow(const TViewMouse& m) {
    const TTrack t = Track();
    FMovingPosition = PointerOffset(m, t);
    OldMousePos = {m.X, m.Y};
    switch (FMoving) {
    case msProgress:
        SetPosition(ValueAt(FMovingPosition, t.Length));
        break;
    case msLeftCut:
        SetCutBegin(ValueAt(FMovingPosition + FCutDxDy, t.Length));
        break;
    case msRightCut:
        SetCutEnd(ValueAt(FMovingPosition + FCutDxDy, t.Length));
        break;
    case msNone:
        break;
    }
}

void TPosbar::MouseMove(const TViewMouse& m) {
    TGraphicControl::MouseMove(m);
    if (FMoving == msNone || (m.X == OldMousePos.X && m.Y == OldMousePos.Y)) return;
    Follow(m);
    if (OnChangePosMoving) OnChangePosMoving(*this, FMoving, FPosition);
    Invalidate();
}

void TPosbar::MouseUp(const TViewMouse& m) {
    TGraphicControl::MouseUp(m);
    Follow(m);
    const TMovingState state = std::exchange(FMoving, msNone);
    if (OnChangePosEnd) OnChangePosEnd(*this, state, FPosition);
    Invalidate();
}
