#include "editor/WidthFormUnit.h"

#include "settings/SettingsUnit.h"
#include "ui/Artwork.h"

namespace {
// The button face of the system palette (the slider's frame).
constexpr TColor ButtonFace = 0xF0F0F0;
} // namespace

TWidthForm::TWidthForm(const TTextRasterizer& text)
    : TBalloonForm(text, ArtPicture("balloon.width"), TColor32(0xFF000000)) {
    Posbar1.SetBounds(17, 14, 87, 16);
    Posbar1.SetMin(1);
    Posbar1.SetMax(8);
    Posbar1.SetPosition(4);
    Posbar1.SetStyle(pbsGauge);
    Posbar1.SetBackColor(SliderBackColor);
    Posbar1.SetForeColor(SliderForeColor);
    Posbar1.SetBorderColor(ButtonFace);
    Posbar1.SetSize(6);
    Posbar1.SetThumbImage(TPicture(ArtPicture("slider.thumb")));
    Image2.SetBounds(8, 18, 6, 7);
    Image2.SetPicture(TPicture(ArtPicture("slider.thin")));
    Image3.SetBounds(108, 16, 10, 11);
    Image3.SetPicture(TPicture(ArtPicture("slider.thick")));
    Posbar1.OnChangePosEnd = [this](TPosbar&, TMovingState state, std::int64_t pos) {
        Posbar1ChangePosEnd(state, pos);
    };
}

void TWidthForm::FormShow() {
    Posbar1.SetPosition(Settings.penwidth);
}

void TWidthForm::Posbar1ChangePosEnd(TMovingState, std::int64_t NewPosition) {
    Settings.penwidth = std::int32_t(NewPosition);
    Close();
    FocusOverlay();
}

void TWidthForm::ArrangeControls(bool flip) {
    Image2.SetTop(flip ? 14 : 18);
    Image3.SetTop(flip ? 12 : 16);
    Posbar1.SetTop(flip ? 10 : 14);
}
