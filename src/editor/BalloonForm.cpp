#include "editor/BalloonForm.h"

#include "gfx/KeyColorRuns.h"

TBalloonForm::TBalloonForm(const TTextRasterizer& text, const TBitmap32& outline, TColor32 key)
    : TForm(text, outline.Width(), outline.Height()), FOutline(outline), FKey(key) {
    Color = FormColor;
    FBackground.SetBounds(0, 0, outline.Width(), outline.Height());
    FBackground.SetBitmap(outline);
}

void TBalloonForm::Show(bool flip) {
    SetClientSize(FOutline.Width(), FOutline.Height());
    TBitmap32 shape = FOutline;
    if (flip) FlipBitmapVertical(shape);
    // Setting a window's region costs the window system far more than
    // computing it: an unchanged outline is left in place.
    const bool changed = FWindowRgn.empty() || flip != FFlipped;
    FWindowRgn = RegionFromBitmap(shape, FKey);
    FFlipped = flip;
    FBackground.SetBitmap(shape);
    if (changed && OnRegion) OnRegion(FWindowRgn);
    ArrangeControls(flip);
    TForm::Show();
    if (Host()) Host()->BringToFront();
}

void TBalloonForm::KeyDown(int key, TShiftState) {
    if (key == KeyEscape && OnTestClose) OnTestClose();
}
