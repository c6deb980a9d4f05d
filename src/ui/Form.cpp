#include "ui/Form.h"

#include <algorithm>
#include <utility>

TForm::TForm(const TTextRasterizer& text, int clientWidth, int clientHeight)
    : FText(text), FBuffer(std::max(clientWidth, 0), std::max(clientHeight, 0)) {
    InvalidateAll();
}

TForm::~TForm() = default;

void TForm::SetHost(TFormHost* host) {
    FHost = host;
    for (TGraphicControl* c : std::vector<TGraphicControl*>(FControls))
        c->HostChanged(host);
    if (!host) return;
    for (TTimer* t : FTimers)
        if (t->Enabled()) host->StartTimer(*t);
    host->PlaceWindow(ScreenBounds());
    InvalidateAll();
    host->ControlsChanged();
}

void TForm::SetClientSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == ClientWidth() && height == ClientHeight()) return;
    FBuffer.SetSize(width, height);
    FDirty.Clear();
    InvalidateAll();
    if (FHost) FHost->PlaceWindow(ScreenBounds());
}

void TForm::SetPosition(int left, int top) {
    FLeft = left;
    FTop = top;
    if (FHost) FHost->PlaceWindow(ScreenBounds());
}

void TForm::Show() {
    FormShow();
    FShowing = true;
    if (FHost) FHost->ShowWindow();
}

void TForm::Close() {
    FShowing = false;
    if (FHost) FHost->HideWindow();
}

void TForm::Invalidate(const TRect& area) {
    const TRect r = area.Intersect(ClientRect());
    if (r.IsEmpty()) return;
    FDirty.Add(r);
    if (FHost) FHost->InvalidateArea(r);
}

std::vector<TRect> TForm::PaintDirty() {
    std::vector<TRect> rects = FDirty.Take();
    for (const TRect& r : rects)
        Compose(FBuffer, r);
    return rects;
}

void TForm::PaintTo(TBitmap32& target) const {
    target.SetSize(ClientWidth(), ClientHeight());
    Compose(target, ClientRect());
}

void TForm::Compose(TBitmap32& target, const TRect& area) const {
    target.FillRect(area, Color32FromColor(Color));
    for (TGraphicControl* c : FControls) {
        if (!c->Visible()) continue;
        const TRect clip = c->BoundsRect().Intersect(area);
        if (clip.IsEmpty()) continue;
        TCanvas canvas(target, {c->Left(), c->Top()}, clip, FText);
        c->Paint(canvas);
    }
}

TGraphicControl* TForm::ControlAt(int x, int y, bool allowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TGraphicControl* c = *it;
        if (c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(x, y))
            return c;
    }
    return nullptr;
}

bool TForm::Has(const TGraphicControl* c) const {
    return c && std::find(FControls.begin(), FControls.end(), c) != FControls.end();
}

namespace {
TViewMouse Local(const TViewMouse& m, const TGraphicControl& c) {
    TViewMouse r = m;
    r.X -= c.Left();
    r.Y -= c.Top();
    return r;
}
} // namespace

void TForm::UpdateMouseControl(int x, int y) {
    TGraphicControl* c = ClientRect().Contains(x, y) ? ControlAt(x, y, true) : nullptr;
    if (c == FMouseControl) return;
    TGraphicControl* old = std::exchange(FMouseControl, c);
    if (old) old->MouseLeave();
    if (c && Has(c)) c->MouseEnter();
}

void TForm::MouseDown(const TViewMouse& press) {
    TViewMouse m = press;
    m.Shift = m.Shift | ButtonKey(m.Button); // the pressed button counts as held
    UpdateMouseControl(m.X, m.Y);
    TGraphicControl* target = FCapture ? FCapture : ControlAt(m.X, m.Y);
    if (!target) {
        if (OnMouseDown) OnMouseDown(m);
        return;
    }
    FCapture = target;
    if (m.Button == mbLeft && m.Shift.Contains(ssDouble)) {
        FClicked = false;
        target->DblClick();
        if (!Has(target)) return;
    } else if (m.Button == mbLeft) {
        FClicked = true;
    }
    target->MouseDown(Local(m, *target));
}

void TForm::MouseMove(const TViewMouse& m) {
    UpdateMouseControl(m.X, m.Y);
    TGraphicControl* target = FCapture ? FCapture : ControlAt(m.X, m.Y);
    if (target) target->MouseMove(Local(m, *target));
}

void TForm::MouseUp(const TViewMouse& m) {
    TGraphicControl* target = FCapture ? FCapture : ControlAt(m.X, m.Y);
    // The released button is no longer in m.Shift.
    if (!m.Shift.AnyButton()) FCapture = nullptr;
    if (target) {
        const TViewMouse local = Local(m, *target);
        if (m.Button == mbLeft && std::exchange(FClicked, false) &&
            target->ClientRect().Contains(local.X, local.Y)) {
            target->Click();
        }
        if (Has(target)) target->MouseUp(local);
    }
    UpdateMouseControl(m.X, m.Y);
}

void TForm::MouseLeave() {
    if (FCapture) return; // the captured control keeps the pointer until release
    if (TGraphicControl* old = std::exchange(FMouseControl, nullptr)) old->MouseLeave();
}

void TForm::CaptureLost() {
    FCapture = nullptr;
    FClicked = false;
}

TCursorKind TForm::CursorAt(int x, int y) const {
    const TGraphicControl* c = FCapture ? FCapture : ControlAt(x, y);
    return c ? c->Cursor() : crDefault;
}

void TForm::AddControl(TGraphicControl& c) {
    FControls.push_back(&c);
    ControlsChanged();
}

void TForm::RemoveControl(TGraphicControl& c) {
    std::erase(FControls, &c);
    if (FMouseControl == &c) FMouseControl = nullptr;
    if (FCapture == &c) FCapture = nullptr;
    ControlsChanged();
}

void TForm::ControlsChanged() {
    if (FHost) FHost->ControlsChanged();
}

void TForm::RemoveTimer(TTimer& t) {
    std::erase(FTimers, &t);
}
