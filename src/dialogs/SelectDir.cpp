#include "dialogs/SelectDir.h"

#include "ui/Artwork.h"

namespace {
void SetStates(TImageButton& b, const std::string& prefix) {
    b.SetNormalImage(TPicture(ArtPicture(prefix + ".normal")));
    b.SetMoveImage(TPicture(ArtPicture(prefix + ".hover")));
    b.SetDownImage(TPicture(ArtPicture(prefix + ".down")));
}
} // namespace

TSelectDirForm::TSelectDirForm(const TTextRasterizer& text, TSelectDirPlatform& platform)
    : TForm(text, FormWidth, FormHeight), FPlatform(platform) {
    Caption = L"Выбор директории";
    Color = 0x321A09;
    btClose.SetBounds(FormWidth - 26, 8, 14, 14);
    btClose.SetHint(L"Закрыть");
    btClose.SetCursor(crHandPoint);
    SetStates(btClose, "close.14");
    btClose.OnClick = [this](TGraphicControl&) { CancelClick(); };

    const int top = FormHeight - BarHeight + (BarHeight - 38) / 2;
    const TFont font = TFont::Pixels(L"Roboto", 15, 0, 0xFFFFFF);
    btCancel.SetBounds(20, top, 142, 38);
    SetStates(btCancel, "button.secondary.142x38");
    btCancel.Font = font;
    btCancel.SetText(L"Отменить");
    btCancel.SetCursor(crHandPoint);
    btCancel.OnClick = [this](TGraphicControl&) { CancelClick(); };
    btOk.SetBounds(FormWidth - 20 - 142, top, 142, 38);
    SetStates(btOk, "button.primary.142x38");
    btOk.Font = font;
    btOk.SetText(L"Сохранить");
    btOk.SetCursor(crHandPoint);
    btOk.OnClick = [this](TGraphicControl&) { SaveClick(); };
}

TRect TSelectDirForm::TreeBounds() const {
    return {20, 30, FormWidth - 20, FormHeight - BarHeight - 10};
}

void TSelectDirForm::SaveClick() {
    const auto path = FPlatform.SelectedPath();
    if (!path || path->empty() || !FPlatform.DirectoryExists(*path)) return;
    FChosen = *path;
    EndModal(mrOk);
}

void TSelectDirForm::CancelClick() {
    EndModal(mrCancel);
}

void TSelectDirForm::KeyDown(int key, TShiftState) {
    if (key == 13) SaveClick();
    if (key == 27) CancelClick();
}

void TSelectDirForm::EndModal(TModalResult result) {
    FModalResult = result;
    Close();
}
