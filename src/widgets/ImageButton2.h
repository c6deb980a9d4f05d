#pragma once
// The image button with a second caption line in its own font and offsets
// (the settings dialog's tabs). The multi-line flag is shared and follows
// whichever caption was set last.
#include "widgets/ImageButton.h"

class TImageButton2 : public TImageButton {
public:
    explicit TImageButton2(TForm& owner) : TImageButton(owner), FText2Font(Font) {}

    const std::wstring& Text2() const { return FText2; }
    void SetText2(std::wstring text);
    const TFont& FontText2() const { return FText2Font; }
    void SetFontText2(const TFont& font) { FText2Font = font; }
    int OffsetText2X() const { return FOffsetText2X; }
    int OffsetText2Y() const { return FOffsetText2Y; }
    void SetOffsetText2X(int v);
    void SetOffsetText2Y(int v);

protected:
    void PaintCaptions(TCanvas& canvas) override;

private:
    std::wstring FText2;
    TFont FText2Font;
    int FOffsetText2X = 0, FOffsetText2Y = 0;
};
