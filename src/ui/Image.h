#pragma once
// A picture on a form, drawn unscaled at the control's top-left corner;
// auto-sized to the picture unless AutoSize is off.
#include "ui/GraphicControl.h"
#include "ui/Picture.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TForm& owner) : TGraphicControl(owner) {}

    const TPicture& Picture() const { return FPicture; }
    void SetPicture(TPicture picture);
    void SetBitmap(const TBitmap32& bitmap) { SetPicture(TPicture(bitmap, false)); }
    bool AutoSize = false;

    void Paint(TCanvas& canvas) override;

private:
    TPicture FPicture;
};
