#include "widgets/ImageButton.h"

#include "ui/Form.h"

TImageButton::TImageButton(TForm& owner) : TGraphicControl(owner) {}

void TImageButton::SetText(std::wstring text) {
    if (text == FText) return;
    SetMultiTextFrom(text);
    FText = std::move(text);
    Invalidate();
}

void TImageButton::SetMultiTextFrom(const std::wstring& text) {
    FIsMultiTextMode = text.find(L'\r') != std::wstring::npos;
}

void TImageButton::SetOffsetTextX(int v) {
    if (v == FOffsetTextX) return;
    FOffsetTextX = v;
    Invalidate();
}

void TImageButton::SetOffsetTextY(int v) {
    if (v == FOffsetTextY) return;
    FOffsetTextY = v;
    Invalidate();
}

void TImageButton::AssignPicture(TPicture& field, const TPicture& p) {
    field = p;
    if (field.HasGraphic()) field.Transparent = true;
    Invalidate();
}

void TImageButton::SetDown(bool value) {
    if (value == FDown) return;
    FDown = value;
    Invalidate();
}

const TPicture& TImageButton::StatePicture() const {
    const bool second = FDown;
    const TPicture& normal = second ? FNormalImage2 : FNormalImage;
    const TPicture& down = second ? FDownImage2 : FDownImage;
    const TPicture& move = second ? FMoveImage2 : FMoveImage;
    const TPicture& disabled = second ? FDisabledImage2 : FDisabledImage;
    if (!Enabled()) return disabled.HasGraphic() ? disabled : normal;
    if (FDowning) return down;
    if (FMoving) return move;
    return normal;
}

void TImageButton::DownShift(int& x, int& y) const {
    if (FDown) {
        ++x;
        ++y;
    }
    if (FOffsetTextWithDown && FDowning) {
        x += 2;
        y += 2;
    }
}

void TImageButton::Paint(TCanvas& canvas) {
    TGraphicControl::Paint(canvas);
    // Every state picture is placed by the normal picture's size.
    const int nw = FNormalImage.Width(), nh = FNormalImage.Height();
    int x = FOffsetImageX;
    if (FAlignImages == taRightJustify)
        x = Width() - nw + FOffsetImageX;
    else if (FAlignImages == taCenter)
        x = (Width() - nw) / 2 + FOffsetImageX;
    const int y = (Height() - nh) / 2 + FOffsetImageY;
    if (FBackgroundImage.HasGraphic()) canvas.Draw(0, 0, FBackgroundImage);
    canvas.Draw(x, y, StatePicture());
    if (FIconRigth.Width() > 0) {
        int ix = FOffsetImageX + Width() + FOffsetIconRigthX - FIconRigth.Width();
        int iy = (Height() - FIconRigth.Height()) / 2 + FOffsetIconRigthY + FOffsetImageY;
        DownShift(ix, iy);
        canvas.Draw(ix, iy, FIconRigth);
    }
    PaintCaptions(canvas);
}

void TImageButton::PaintCaptions(TCanvas& canvas) {
    if (!FText.empty()) PaintCaption(canvas, FText, Font, FOffsetTextX, FOffsetTextY);
}

void TImageButton::PaintCaption(TCanvas& canvas, const std::wstring& text, const TFont& font,
                                int offsetX, int offsetY) {
    const TTextLayout layout = LayoutText(text, font, canvas.TextRasterizer());
    int tw, th;
    if (FIsMultiTextMode) {
        tw = layout.Width();
        th = layout.Height();
    } else {
        const TTextExtent e = canvas.TextExtent(font, text);
        tw = e.Width;
        th = e.Height;
    }
    int x = offsetX + FOffsetImageX;
    if (FAlignImages == taRightJustify)
        x = Width() + offsetX + FOffsetImageX - tw;
    else if (FAlignImages == taCenter)
        x = (Width() - tw) / 2 + offsetX + FOffsetImageX;
    int y = (Height() - th) / 2 + offsetY + FOffsetImageY;
    DownShift(x, y);
    canvas.TextRect({x, y, x + tw, y + th}, layout, font, FAlignImages, false);
}

bool TImageButton::PressedAt(const TViewMouse& m) const {
    // Edges inclusive, unlike the click test.
    return m.Shift.Contains(ssLeft) && m.X >= 0 && m.X <= Width() && m.Y >= 0 && m.Y <= Height();
}

void TImageButton::MouseEnter() {
    FMoving = true;
    Invalidate();
    TGraphicControl::MouseEnter();
}

void TImageButton::MouseLeave() {
    FMoving = false;
    Invalidate();
    TGraphicControl::MouseLeave();
}

void TImageButton::MouseDown(const TViewMouse& m) {
    FDowning = PressedAt(m);
    Invalidate();
    TGraphicControl::MouseDown(m);
}

void TImageButton::MouseMove(const TViewMouse& m) {
    if (!m.Shift.Empty()) {
        FDowning = PressedAt(m);
        Invalidate();
    }
    TGraphicControl::MouseMove(m);
}

void TImageButton::MouseUp(const TViewMouse& m) {
    FDowning = false;
    Invalidate();
    TGraphicControl::MouseUp(m);
}
