#include "companion/AboutFormUnit.h"

#include "ui/Artwork.h"

namespace {
void Centered(TLabel& label, int top, int height) {
    label.SetAutoSize(false);
    label.Alignment = taCenter;
    label.SetBounds(0, top, TAboutForm::FormWidth, height);
}
} // namespace

TAboutForm::TAboutForm(const TTextRasterizer& text, TDialogServices& services)
    : TCompanionForm(text, services, FormWidth, FormHeight, L"О программе") {
    Color = 0x0042220C;
    imgBackground.SetBounds(0, 0, FormWidth, FormHeight);
    imgBackground.SetPicture(TPicture(ArtPicture("bg.about"), false));
    imgLogo.SetBounds((FormWidth - 74) / 2, 56, 74, 74);
    imgLogo.SetPicture(TPicture(ArtPicture("logo.74")));
    lbHeading.SetBounds(21, 18, 0, 0);
    lbHeading.SetCaption(L"О программе");
    Centered(lbName, 146, 32);
    lbName.SetCaption(L"Программа Kadrix");
    Centered(lbRights, 184, 16);
    lbRights.SetCaption(L"© " + std::wstring(ProductConstants::MakerName) +
                        L". Все права защищены.");
    Centered(lbVersion, 206, 20);
    lbVersion.SetCaption(L"Версия " + std::wstring(ProductConstants::Version));
    for (TGraphicControl* c : std::initializer_list<TGraphicControl*>{
             &imgBackground, &imgLogo, &lbHeading, &lbName, &lbRights, &lbVersion})
        DragBy(*c);
    btClose.SetBounds(FormWidth - 14 - 10, 10, 14, 14);
    SetButtonStates(btClose, "close.14");
    btClose.SetHint(L"Закрыть");
    btClose.OnClick = [this](TGraphicControl&) { CloseWith(mrCancel); };
    btOk.SetBounds(FormWidth - 142 - 20, FormHeight - 64 + 13, 142, 38);
    SetButtonStates(btOk, "button.secondary.142x38");
    btOk.SetCursor(crHandPoint);
    btOk.SetText(L"ЗАКРЫТЬ");
    btOk.OnClick = [this](TGraphicControl&) { CloseWith(mrOk); };
    imgLink.SetBounds(20, FormHeight - 32 - 11, 107, 23);
    imgLink.SetNormalImage(TPicture(ArtPicture("link.site")));
    imgLink.SetCursor(crHandPoint);
    imgLink.OnClick = [this](TGraphicControl&) { Services().OpenPage(ProductConstants::HomePage); };
    FormCreate();
}

void TAboutForm::FormCreate() {
    lbHeading.SetFont(TFont::Pixels(L"Noto Sans", 15, fsBold, 13418936));
    lbName.SetFont(TFont::Pixels(L"Noto Sans", 23, fsBold, 0xFFFFFF));
    lbRights.SetFont(TFont::Pixels(L"Noto Sans", 11, fsBold, 0xB2B2B2));
    lbVersion.SetFont(TFont::Pixels(L"Noto Sans", 15, 0, 10908495));
    btOk.Font = TFont::Pixels(L"Roboto", 15, 0, 0xFFFFFF);
}
