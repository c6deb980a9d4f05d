#include "update/NewVersionFormUnit.h"

#include "ui/Artwork.h"

TNewVersionForm::TNewVersionForm(const TTextRasterizer& text, TDialogServices& services)
    : TCompanionForm(text, services, FormWidth, FormHeight, L"Обновление") {
    Color = FormColor;
    Label4.SetBounds(21, 18, 0, 0);
    Label4.SetFont(TFont::Pixels(L"Tahoma", 15, fsBold, 13418936));
    Label4.SetCaption(L"Обновление");
    ImageButton1.SetBounds(504, 8, 14, 14);
    SetButtonStates(ImageButton1, "close.14");
    ImageButton1.SetHint(L"Закрыть");
    ImageButton1.OnClick = [this](TGraphicControl&) { ImageButton1Click(); };
    Image2.AutoSize = true;
    Image2.SetBounds(45, 85, 40, 40);
    Image2.SetPicture(TPicture(ArtPicture("info.40")));
    Label1.SetBounds(103, 81, 0, 0);
    Label1.SetFont(TFont::Pixels(L"Tahoma", 19, 0, 0xFFFFFF));
    Label1.SetCaption(L"Доступна новая версия! Необходимо\nобновить программу.");
    LabelNewVersion.SetBounds(103, 146, 0, 0);
    LabelNewVersion.SetFont(TFont::Pixels(L"Tahoma", 15, 0, 10908495));
    ImageButton5.SetBounds(363, 200, 142, 38);
    SetButtonStates(ImageButton5, "button.primary.142x38");
    ImageButton5.SetCursor(crHandPoint);
    ImageButton5.Font = TFont::Pixels(L"Roboto", 15, fsBold, 0xFFFFFF);
    ImageButton5.SetText(L"ОБНОВИТЬ");
    ImageButton5.OnClick = [this](TGraphicControl&) { ImageButton5Click(); };
    for (TGraphicControl* c :
         std::initializer_list<TGraphicControl*>{&Label4, &Image2, &Label1, &LabelNewVersion})
        DragBy(*c);
    FormCreate();
}

void TNewVersionForm::FormCreate() {
    for (TLabel* l : {&Label1, &LabelNewVersion, &Label4}) {
        TFont f = l->Font;
        f.Name = L"Noto Sans";
        l->SetFont(f);
    }
}
