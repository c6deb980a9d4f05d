#pragma once
// The notification window: one short message about a finished copy or
// upload, bottom right, for 8 seconds. Created once, then only shown and
// hidden. Its timer is switched on by every show but never restarted, and
// the close button leaves it running, so a message shown while an earlier
// show's timer still runs goes away when that timer fires.
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "widgets/ImageButton.h"

class TBHintForm : public TForm {
public:
    static constexpr int FormWidth = 399, FormHeight = 104;
    static constexpr TColor FormColor = 3283465;

    explicit TBHintForm(const TTextRasterizer& text);

    TImageButton ImageButton1{*this};
    TImage Image1{*this};
    TLabel lbCaption{*this};
    TLabel lbText{*this};
    TTimer Timer1{*this, 8000};

    void FormCreate();
    void FormShow() override;
    void ImageButton1Click();
    void Timer1Timer();
};

extern TBHintForm* BHintForm;

// Shows text in the notification window (replacing a message on show).
void ShowNotification(const std::wstring& text);
