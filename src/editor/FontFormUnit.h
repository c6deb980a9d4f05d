#pragma once
// The font panel: face, size and style of the text tool, changed in place
// (the text box reads them at its next key or caret tick).
#include "editor/BalloonForm.h"
#include "widgets/ImageButton.h"
#include "widgets/OrvikComboBox.h"

#include <string>
#include <vector>

class TFontForm : public TBalloonForm {
public:
    static constexpr TColor ListFillColor = 6703928;
    static constexpr TColor ListBorderColor = 8276775;
    static constexpr TColor ListTextColor = 15526627;

    // faces: every font the system knows at creation, private ones included.
    TFontForm(const TTextRasterizer& text, std::vector<std::wstring> faces);

    TImageButton btBold{*this};
    TImageButton btItalic{*this};
    TImageButton btUnderline{*this};
    TImageButton btStrike{*this};
    TOrvikComboBox OrvikComboBox1{*this};
    TOrvikComboBox OrvikComboBox2{*this};

    void FormShow() override;
    void OrvikComboBox1Click();
    void OrvikComboBox2Click();
    // Inverts the button and its style bit.
    void StyleClick(TImageButton& button, unsigned bit);

protected:
    void ArrangeControls(bool flip) override;
};
