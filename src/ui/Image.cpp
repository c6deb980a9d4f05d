#include "ui/Image.h"

void TImage::SetPicture(TPicture picture) {
    FPicture = std::move(picture);
    if (AutoSize && FPicture.HasGraphic())
        SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
    Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
    canvas.Draw(0, 0, FPicture);
    TGraphicControl::Paint(canvas);
}
