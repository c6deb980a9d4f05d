#include "editor/FontFormUnit.h"

#include "settings/SettingsUnit.h"
#include "ui/Artwork.h"

#include <algorithm>
#include <string>

namespace {
TPicture Art(const std::string& name) {
    return TPicture(ArtPicture(name));
}

void SetStylePictures(TImageButton& b, const std::string& base) {
    b.SetNormalImage(Art(base + ".normal"));
    b.SetMoveImage(Art(base + ".hover"));
    b.SetDownImage(Art(base + ".down"));
    b.SetNormalImage2(Art(base + ".normal2"));
    b.SetMoveImage2(Art(base + ".hover2"));
    b.SetDownImage2(Art(base + ".down2"));
}

void StyleList(TOrvikComboBox& c) {
    c.SetNormalImage(Art("combo.arrow.normal"));
    c.SetMoveImage(Art("combo.arrow.hover"));
    c.SetDownImage(Art("combo.arrow.down"));
    c.SetFillColor(TFontForm::ListFillColor);
    c.SetBorderColor(TFontForm::ListBorderColor);
    // A filled rounded field without a visible frame: pen and label in the fill.
    c.FrameShape().PenColor = TFontForm::ListFillColor;
    c.TextLabel().Color = TFontForm::ListFillColor;
    c.SetFont(TFont::Pixels(L"Noto Sans", 14, fsBold, TFontForm::ListTextColor));
    c.LoadImg();
}

int IndexOf(const std::vector<std::wstring>& items, const std::wstring& s) {
    const auto it = std::find(items.begin(), items.end(), s);
    return it == items.end() ? -1 : int(it - items.begin());
}
} // namespace

TFontForm::TFontForm(const TTextRasterizer& text, std::vector<std::wstring> faces)
    : TBalloonForm(text, ArtPicture("balloon.font"), ArtPicture("balloon.font").Pixel(0, 0)) {
    struct TStyleButton {
        TImageButton& Button;
        const char* Art;
        unsigned Bit;
        int Left;
    };
    for (const TStyleButton& s : {TStyleButton{btBold, "font.bold", fsBold, 9},
                                  TStyleButton{btItalic, "font.italic", fsItalic, 53},
                                  TStyleButton{btUnderline, "font.underline", fsUnderline, 97},
                                  TStyleButton{btStrike, "font.strike", fsStrikeOut, 141}}) {
        s.Button.SetBounds(s.Left, 11, 38, 38);
        SetStylePictures(s.Button, s.Art);
        s.Button.OnClick = [this, &b = s.Button, bit = s.Bit](TGraphicControl&) {
            StyleClick(b, bit);
        };
    }
    OrvikComboBox1.SetBounds(9, 56, 104, 31);
    OrvikComboBox2.SetBounds(128, 56, 51, 31);
    StyleList(OrvikComboBox1);
    StyleList(OrvikComboBox2);
    const int noto = IndexOf(faces, L"Noto Sans");
    OrvikComboBox1.SetItems(std::move(faces));
    if (noto >= 0) OrvikComboBox1.SetItemIndex(noto);
    std::vector<std::wstring> sizes;
    for (int s = 8; s <= 20; ++s)
        sizes.push_back(std::to_wstring(s));
    OrvikComboBox2.SetItems(std::move(sizes));
    OrvikComboBox1.OnClick = [this](TGraphicControl&) { OrvikComboBox1Click(); };
    OrvikComboBox2.OnClick = [this](TGraphicControl&) { OrvikComboBox2Click(); };
}

void TFontForm::FormShow() {
    btBold.SetDown((TextFontStyle & fsBold) != 0);
    btItalic.SetDown((TextFontStyle & fsItalic) != 0);
    btStrike.SetDown((TextFontStyle & fsStrikeOut) != 0);
    btUnderline.SetDown((TextFontStyle & fsUnderline) != 0);
    if (const int i = IndexOf(OrvikComboBox1.Items(), TextFontName); i >= 0)
        OrvikComboBox1.SetItemIndex(i);
    if (const int i = IndexOf(OrvikComboBox2.Items(), std::to_wstring(TextFontSize)); i >= 0)
        OrvikComboBox2.SetItemIndex(i);
}

void TFontForm::OrvikComboBox1Click() {
    const int i = OrvikComboBox1.ItemIndex();
    if (i >= 0) TextFontName = OrvikComboBox1.Items()[std::size_t(i)];
    FocusOverlay();
}

void TFontForm::OrvikComboBox2Click() {
    const int i = OrvikComboBox2.ItemIndex();
    if (i >= 0) TextFontSize = std::stoi(OrvikComboBox2.Items()[std::size_t(i)]);
    FocusOverlay();
}

void TFontForm::StyleClick(TImageButton& button, unsigned bit) {
    button.SetDown(!button.Down());
    if (button.Down())
        TextFontStyle = TFontStyles(TextFontStyle | bit);
    else
        TextFontStyle = TFontStyles(TextFontStyle & ~bit);
    FocusOverlay();
}

void TFontForm::ArrangeControls(bool flip) {
    for (TImageButton* b : {&btBold, &btItalic, &btUnderline, &btStrike})
        b->SetTop(flip ? 6 : 11);
    for (TOrvikComboBox* c : {&OrvikComboBox1, &OrvikComboBox2})
        c->SetTop(flip ? 50 : 56);
}
