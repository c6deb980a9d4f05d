#include "widgets/ImageButton2.h"

void TImageButton2::SetText2(std::wstring text) {
    if (text == FText2) return;
    SetMultiTextFrom(text);
    FText2 = std::move(text);
    Invalidate();
}

void TImageButton2::SetOffsetText2X(int v) {
    if (v == FOffsetText2X) return;
    FOffsetText2X = v;
    Invalidate();
}

void TImageButton2::SetOffsetText2Y(int v) {
    if (v == FOffsetText2Y) return;
    FOffsetText2Y = v;
    Invalidate();
}

void TImageButton2::PaintCaptions(TCanvas& canvas) {
    TImageButton::PaintCaptions(canvas);
    if (!FText2.empty()) PaintCaption(canvas, FText2, FText2Font, FOffsetText2X, FOffsetText2Y);
}
