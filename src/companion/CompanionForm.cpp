#include "companion/CompanionForm.h"

#include "ui/Artwork.h"

TCompanionForm::TCompanionForm(const TTextRasterizer& text, TDialogServices& services, int width,
                               int height, std::wstring caption)
    : TForm(text, width, height), FServices(services) {
    Caption = std::move(caption);
    OnMouseDown = [this](const TViewMouse& m) {
        if (m.Button == mbLeft) FServices.StartWindowDrag(*this);
    };
}

void TCompanionForm::CloseWith(int result) {
    ModalResult = result;
    Close();
    if (OnClosed) OnClosed();
}

void TCompanionForm::DragBy(TGraphicControl& control) {
    control.OnMouseDown = [this](TGraphicControl&, const TViewMouse& m) {
        if (m.Button == mbLeft) FServices.StartWindowDrag(*this);
    };
}

void TCompanionForm::CenterOnScreen() {
    if (!Host()) return;
    const TRect work = Host()->PrimaryWorkArea();
    SetPosition(work.Left + (work.Width() - ClientWidth()) / 2,
                work.Top + (work.Height() - ClientHeight()) / 2);
}

void SetButtonStates(TImageButton& button, const std::string& artPrefix) {
    button.SetNormalImage(TPicture(ArtPicture(artPrefix + ".normal")));
    button.SetMoveImage(TPicture(ArtPicture(artPrefix + ".hover")));
    button.SetDownImage(TPicture(ArtPicture(artPrefix + ".down")));
}
