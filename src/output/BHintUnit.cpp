#include "output/BHintUnit.h"

#include "output/PlaceBottomRight.h"
#include "settings/SettingsUnit.h"
#include "ui/Artwork.h"

TBHintForm* BHintForm = nullptr;

TBHintForm::TBHintForm(const TTextRasterizer& text) : TForm(text, FormWidth, FormHeight) {
    Color = FormColor;
    Caption = std::wstring(ProductTitle);
    ImageButton1.SetBounds(375, 5, 20, 20);
    ImageButton1.SetCursor(crHandPoint);
    ImageButton1.SetNormalImage(TPicture(ArtPicture("close.20.normal")));
    ImageButton1.SetMoveImage(TPicture(ArtPicture("close.20.hover")));
    ImageButton1.SetDownImage(TPicture(ArtPicture("close.20.down")));
    ImageButton1.OnClick = [this](TGraphicControl&) { ImageButton1Click(); };
    Image1.AutoSize = true;
    Image1.SetBounds(20, 20, 35, 35);
    Image1.SetPicture(TPicture(ArtPicture("info.35")));
    lbCaption.SetLeft(69);
    lbCaption.SetTop(22);
    lbText.SetAutoSize(false);
    lbText.WordWrap = true;
    lbText.SetBounds(69, 41, 310, 55);
    Timer1.OnTimer = [this] { Timer1Timer(); };
    FormCreate();
}

void TBHintForm::FormCreate() {
    lbCaption.SetFont(TFont::Pixels(L"Noto Sans", 15, fsBold, 0xFFFFFF));
    lbCaption.SetCaption(std::wstring(ProductTitle));
    lbText.SetFont(TFont::Pixels(L"Noto Sans", 13, 0, 0xFFFFFF));
    PlaceBottomRight(*this);
}

void TBHintForm::FormShow() {
    if (Host()) Host()->BringToFront();
    PlaceBottomRight(*this);
    // Every message gets its full time: one shown while an earlier show's
    // timer ran would vanish at once, a failed save or upload unnoticed.
    Timer1.SetEnabled(false);
    Timer1.SetEnabled(true);
}

void TBHintForm::ImageButton1Click() {
    Close();
}

void TBHintForm::Timer1Timer() {
    Timer1.SetEnabled(false);
    Close();
}

void ShowNotification(const std::wstring& text) {
    if (!BHintForm) return;
    if (BHintForm->Showing()) BHintForm->Close();
    BHintForm->lbText.SetCaption(text);
    BHintForm->Show();
}
