#pragma once
// The upload progress window: a bar that fills while the request is
// written; it hides itself at 100 and keeps the last position while hidden.
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "widgets/ImageButton.h"

#include <cstdint>

class TLoadForm : public TForm {
public:
    static constexpr int FormWidth = 399, FormHeight = 86;
    static constexpr TColor FormColor = 3283465;
    static constexpr TColor OutlineColor = 10579530;
    static constexpr TColor TrackColor = 5255967;
    static constexpr TColor FillColor = 15843868;

    explicit TLoadForm(const TTextRasterizer& text);

    TImageButton ImageButton1{*this};
    TLabel lbCaption{*this};
    TImage Image321{*this};

    std::int32_t Position() const { return FPosition; }
    void SetPosition(std::int32_t value);

    void FormShow() override;
    void ImageButton1Click();

private:
    void PaintBar();

    std::int32_t FPosition = 0;
};

extern TLoadForm* LoadForm;
