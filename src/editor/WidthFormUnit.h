#pragma once
// The width panel: a slider from 1 to 8 pixels that sets the stroke width
// of the next stroke and closes itself once the user lets go.
#include "editor/BalloonForm.h"
#include "widgets/PosBar.h"

class TWidthForm : public TBalloonForm {
public:
    static constexpr TColor SliderBackColor = 6703929;
    static constexpr TColor SliderForeColor = 15066597;

    explicit TWidthForm(const TTextRasterizer& text);

    TPosbar Posbar1{*this};
    TImage Image2{*this};
    TImage Image3{*this};

    void FormShow() override;
    void Posbar1ChangePosEnd(TMovingState MovingState, std::int64_t NewPosition);

protected:
    void ArrangeControls(bool flip) override;
};
