#pragma once
// "О программе": name, version and a link to the home page; at most one.
#include "companion/CompanionForm.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TAboutForm : public TCompanionForm {
public:
    static constexpr int FormWidth = 576, FormHeight = 371;

    TAboutForm(const TTextRasterizer& text, TDialogServices& services);

    TImage imgBackground{*this};
    TImage imgLogo{*this};
    TLabel lbHeading{*this};
    TLabel lbName{*this};
    TLabel lbRights{*this};
    TLabel lbVersion{*this};
    TImageButton btClose{*this};
    TImageButton btOk{*this};
    TImageButton imgLink{*this};

    void FormCreate();
    void FormShow() override { CenterOnScreen(); }
};
