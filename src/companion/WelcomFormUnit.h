#pragma once
// The welcome window after installation: "Сделать скриншот" ends it with OK
// (the tray then starts a capture), the cross with Cancel; the site link
// leaves it open. The host opens the welcome page first and shows the
// window WelcomeDelayMs later.
#include "companion/CompanionForm.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TWelcomForm : public TCompanionForm {
public:
    static constexpr int FormWidth = 576, FormHeight = 371;
    static constexpr unsigned WelcomeDelayMs = 2000;

    TWelcomForm(const TTextRasterizer& text, TDialogServices& services);

    TImage imgBackground{*this};
    TLabel lbTitle{*this};
    TLabel lbText{*this};
    TImageButton btScreenshot{*this};
    TImageButton btClose{*this};
    TImageButton imgLink{*this};

    void FormCreate();
    void FormShow() override { CenterOnScreen(); }
};
