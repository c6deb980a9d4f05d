#pragma once
// The offer of the maker's screen-recording product: one long-lived window,
// hidden between showings. Its buttons keep it away for a while.
#include "companion/CompanionForm.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TFormOfferZelt : public TCompanionForm {
public:
    static constexpr int FormWidth = 789, FormHeight = 480;

    TFormOfferZelt(const TTextRasterizer& text, TDialogServices& services);

    TImage imgBackground{*this};
    TLabel lbTitle{*this};
    TLabel lbText{*this};
    TImageButton btMore{*this};
    TImageButton btClose{*this};

    void FormCreate();
    void FormShow() override { CenterOnScreen(); }
    void btMoreClick();
    void btCloseClick();
};

extern TFormOfferZelt* FormOfferZelt;
