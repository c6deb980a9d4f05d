#include "ui/GraphicControl.h"

#include "ui/Form.h"

TGraphicControl::TGraphicControl(TForm& owner) : FOwner(owner) {
    FOwner.AddControl(*this);
}

TGraphicControl::~TGraphicControl() {
    if (FVisible) FOwner.Invalidate(FBounds);
    FOwner.RemoveControl(*this);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    const TRect r{left, top, left + std::max(width, 0), top + std::max(height, 0)};
    if (r == FBounds) return;
    if (FVisible) FOwner.Invalidate(FBounds);
    FBounds = r;
    if (FVisible) FOwner.Invalidate(FBounds);
    FOwner.ControlsChanged();
    Resize();
}

void TGraphicControl::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    Invalidate();
}

void TGraphicControl::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    FOwner.Invalidate(FBounds);
    FOwner.ControlsChanged();
}

void TGraphicControl::SetHint(std::wstring hint) {
    if (hint == FHint) return;
    FHint = std::move(hint);
    FOwner.ControlsChanged();
}

void TGraphicControl::Invalidate() {
    if (FVisible) FOwner.Invalidate(FBounds);
}

void TGraphicControl::Paint(TCanvas& canvas) {
    if (OnPaint) OnPaint(*this, canvas);
}

void TGraphicControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(*this);
}

void TGraphicControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(*this);
}

void TGraphicControl::MouseDown(const TViewMouse& m) {
    if (OnMouseDown) OnMouseDown(*this, m);
}

void TGraphicControl::MouseMove(const TViewMouse& m) {
    if (OnMouseMove) OnMouseMove(*this, m);
}

void TGraphicControl::MouseUp(const TViewMouse& m) {
    if (OnMouseUp) OnMouseUp(*this, m);
}

void TGraphicControl::Click() {
    if (OnClick) OnClick(*this);
}

void TGraphicControl::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}
