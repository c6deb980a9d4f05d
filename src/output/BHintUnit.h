#pragma once
// The notification window: one short message about a finished copy or
// upload, bottom right, for 8 seconds. Created once, then only shown and
// hidden. Every show restarts its timer, so each message stays its full time.
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
