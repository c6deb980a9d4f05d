#pragma once
// The owner-drawn button every window is made of: buttons, check boxes,
// radio buttons, tabs and close crosses. It paints one picture chosen by
// three independent flags (hover, pressed, latched Down) and the enabled
// state, an optional icon at its right edge and a caption. It never toggles
// itself: owners set Down (a check box flips it in its OnClick).
#include "ui/GraphicControl.h"
#include "ui/Picture.h"
#include "ui/TextLayout.h"

class TImageButton : public TGraphicControl {
public:
    explicit TImageButton(TForm& owner);

    TAlignment AlignImages() const { return FAlignImages; }
    void SetAlignImages(TAlignment v) { FAlignImages = v; }
    const std::wstring& Text() const { return FText; }
    void SetText(std::wstring text);
    bool IsMultiTextMode() const { return FIsMultiTextMode; }
    int OffsetTextX() const { return FOffsetTextX; }
    int OffsetTextY() const { return FOffsetTextY; }
    void SetOffsetTextX(int v);
    void SetOffsetTextY(int v);
    bool OffsetTextWithDown() const { return FOffsetTextWithDown; }
    void SetOffsetTextWithDown(bool v) { FOffsetTextWithDown = v; }
    const TPicture& IconRigth() const { return FIconRigth; }
    void SetIconRigth(const TPicture& p) { FIconRigth = p; }
    int OffsetIconRigthX() const { return FOffsetIconRigthX; }
    int OffsetIconRigthY() const { return FOffsetIconRigthY; }
    void SetOffsetIconRigthX(int v) { FOffsetIconRigthX = v; }
    void SetOffsetIconRigthY(int v) { FOffsetIconRigthY = v; }
    int OffsetImageX() const { return FOffsetImageX; }
    int OffsetImageY() const { return FOffsetImageY; }
    void SetOffsetImageX(int v) { FOffsetImageX = v; }
    void SetOffsetImageY(int v) { FOffsetImageY = v; }

    // Copying a picture that holds a graphic makes it transparent.
    const TPicture& NormalImage() const { return FNormalImage; }
    const TPicture& DownImage() const { return FDownImage; }
    const TPicture& MoveImage() const { return FMoveImage; }
    const TPicture& DisabledImage() const { return FDisabledImage; }
    const TPicture& NormalImage2() const { return FNormalImage2; }
    const TPicture& DownImage2() const { return FDownImage2; }
    const TPicture& MoveImage2() const { return FMoveImage2; }
    const TPicture& DisabledImage2() const { return FDisabledImage2; }
    const TPicture& BackgroundImage() const { return FBackgroundImage; }
    void SetNormalImage(const TPicture& p) { AssignPicture(FNormalImage, p); }
    void SetDownImage(const TPicture& p) { AssignPicture(FDownImage, p); }
    void SetMoveImage(const TPicture& p) { AssignPicture(FMoveImage, p); }
    void SetDisabledImage(const TPicture& p) { AssignPicture(FDisabledImage, p); }
    void SetNormalImage2(const TPicture& p) { AssignPicture(FNormalImage2, p); }
    void SetDownImage2(const TPicture& p) { AssignPicture(FDownImage2, p); }
    void SetMoveImage2(const TPicture& p) { AssignPicture(FMoveImage2, p); }
    void SetDisabledImage2(const TPicture& p) { AssignPicture(FDisabledImage2, p); }
    void SetBackgroundImage(const TPicture& p) { AssignPicture(FBackgroundImage, p); }

    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool Moving() const { return FMoving; }
    bool Downing() const { return FDowning; }

    // The picture Paint draws for the current state (may be empty).
    const TPicture& StatePicture() const;

    void Paint(TCanvas& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;
    void MouseUp(const TViewMouse& m) override;

protected:
    // Steps 7 to 9 of painting one caption: measure, place, shift, draw.
    void PaintCaption(TCanvas& canvas, const std::wstring& text, const TFont& font, int offsetX,
                      int offsetY);
    virtual void PaintCaptions(TCanvas& canvas);
    void SetMultiTextFrom(const std::wstring& text);
    void DownShift(int& x, int& y) const;

private:
    void AssignPicture(TPicture& field, const TPicture& p);
    bool PressedAt(const TViewMouse& m) const;

    TAlignment FAlignImages = taCenter;
    std::wstring FText;
    bool FIsMultiTextMode = false;
    int FOffsetTextX = 0, FOffsetTextY = 0;
    bool FOffsetTextWithDown = false;
    TPicture FIconRigth;
    int FOffsetIconRigthX = 0, FOffsetIconRigthY = 0;
    bool FMoving = false;
    bool FDowning = false;
    bool FDown = false;
    TPicture FNormalImage, FDownImage, FMoveImage, FDisabledImage;
    TPicture FNormalImage2, FDownImage2, FMoveImage2, FDisabledImage2;
    TPicture FBackgroundImage;
    int FOffsetImageX = 0, FOffsetImageY = 0;
};
