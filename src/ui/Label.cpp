#include "ui/Label.h"

#include "ui/Form.h"

TLabel::TLabel(TForm& owner) : TGraphicControl(owner) {
    AdjustSize();
}

void TLabel::SetCaption(std::wstring caption) {
    if (caption == FCaption) return;
    FCaption = std::move(caption);
    Invalidate();
    AdjustSize();
}

void TLabel::SetFont(const TFont& font) {
    if (font == Font) return;
    Font = font;
    Invalidate();
    AdjustSize();
}

void TLabel::SetAutoSize(bool value) {
    FAutoSize = value;
    AdjustSize();
}

TTextLayout TLabel::TextLayoutNow() const {
    return LayoutText(FCaption, Font, Owner().TextRasterizer(), WordWrap ? Width() : 0);
}

void TLabel::AdjustSize() {
    if (!FAutoSize) return;
    const TTextLayout l = TextLayoutNow();
    SetBounds(Left(), Top(), WordWrap ? Width() : l.Width(), l.Height());
}

void TLabel::Paint(TCanvas& canvas) {
    if (!Transparent) canvas.FillRect(ClientRect(), Color32FromColor(Color));
    TGraphicControl::Paint(canvas);
    if (FCaption.empty()) return;
    const TTextLayout l = TextLayoutNow();
    int y = 0;
    if (Layout == tlCenter)
        y = (Height() - l.Height()) / 2;
    else if (Layout == tlBottom)
        y = Height() - l.Height();
    canvas.TextRect({0, y, Width(), y + l.Height()}, l, Font, Alignment, false);
}
