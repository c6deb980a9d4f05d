#include "output/LoadFormUnit.h"

#include "output/PlaceBottomRight.h"
#include "ui/Artwork.h"

#include <algorithm>
#include <cmath>

TLoadForm* LoadForm = nullptr;

TLoadForm::TLoadForm(const TTextRasterizer& text) : TForm(text, FormWidth, FormHeight) {
    Color = FormColor;
    ImageButton1.SetBounds(379, 5, 15, 15);
    ImageButton1.SetCursor(crHandPoint);
    ImageButton1.SetNormalImage(TPicture(ArtPicture("close.15.normal")));
    ImageButton1.SetMoveImage(TPicture(ArtPicture("close.15.hover")));
    ImageButton1.SetDownImage(TPicture(ArtPicture("close.15.down")));
    ImageButton1.OnClick = [this](TGraphicControl&) { ImageButton1Click(); };
    lbCaption.SetBounds(17, 19, 0, 0);
    lbCaption.SetFont(TFont::Pixels(L"Noto Sans", 13, 0, 0xFFFFFF));
    lbCaption.SetCaption(L"Загрузка изображения на сервер");
    Image321.SetBounds(17, 56, 359, 12);
    PaintBar();
    PlaceBottomRight(*this);
}

void TLoadForm::FormShow() {
    PlaceBottomRight(*this);
}

void TLoadForm::ImageButton1Click() {
    Close();
}

void TLoadForm::SetPosition(std::int32_t value) {
    FPosition = value;
    if (FPosition >= 100) Close();
    PaintBar();
}

void TLoadForm::PaintBar() {
    const int w = Image321.Width(), h = Image321.Height();
    TBitmap32 bar(w, h, Color32FromColor(Color));
    TCanvas canvas(bar, {0, 0}, bar.BoundsRect(), TextRasterizer());
    const float r = float(h - 2) / 2; // a corner ellipse (h - 2) across
    canvas.RoundRect({0, 0, w, h}, r, r, Color32FromColor(OutlineColor),
                     Color32FromColor(TrackColor));
    // Out-of-range positions draw an empty or a full bar, never a reversed one.
    const double filled = std::nearbyint(double(FPosition) * w / 100);
    const int fw = int(std::clamp(filled, 0.0, double(w)));
    const TColor32 fill = Color32FromColor(FillColor);
    canvas.RoundRect({0, 0, fw, h}, r, r, fill, fill);
    Image321.SetBitmap(bar);
}
