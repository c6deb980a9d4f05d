#pragma once
// The dark "Обновление" dialog: a newer version is announced, "ОБНОВИТЬ"
// ends it with OK (the caller opens the download page), the cross with
// Cancel. Dragged by its background.
#include "companion/CompanionForm.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TNewVersionForm : public TCompanionForm {
public:
    static constexpr int FormWidth = 526, FormHeight = 258;
    static constexpr TColor FormColor = 4334092;

    TNewVersionForm(const TTextRasterizer& text, TDialogServices& services);

    TLabel Label4{*this};
    TImageButton ImageButton1{*this};
    TImage Image2{*this};
    TLabel Label1{*this};
    TLabel LabelNewVersion{*this};
    TImageButton ImageButton5{*this};

    void FormCreate();
    void FormShow() override { CenterOnScreen(); }
    void ImageButton1Click() { CloseWith(mrCancel); }
    void ImageButton5Click() { CloseWith(mrOk); }
};
