#pragma once
// A filled rectangle with a frame: the brush inside, PenWidth pixels of the
// pen colour along the inner edge of the bounds.
#include "ui/GraphicControl.h"

class TShape : public TGraphicControl {
public:
    explicit TShape(TForm& owner) : TGraphicControl(owner) {}

    TColor PenColor = 0;
    int PenWidth = 1;
    TColor BrushColor = 0x00FFFFFF;

    void Paint(TCanvas& canvas) override;
};
