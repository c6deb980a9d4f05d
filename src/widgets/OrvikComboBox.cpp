#include "widgets/OrvikComboBox.h"

TOrvikComboBox::TOrvikComboBox(TForm& owner)
    : TGraphicControl(owner), FShape(owner), FLabel(owner), FDOWN(owner) {
    SetCursor(crIBeam);
    Color = FFillColor;
    FShape.PenColor = FBorderColor;
    FShape.PenWidth = FBorderWidth;
    FShape.BrushColor = FFillColor;
    FShape.SetCursor(crIBeam);
    FLabel.SetAutoSize(false);
    FLabel.Layout = tlCenter;
    FLabel.Color = FFillColor;
    FLabel.SetFont(FFont);
    FLabel.SetCursor(crIBeam);
    FLabel.OnClick = [this](TGraphicControl&) { DropDown(); };
    FDOWN.SetCursor(crIBeam);
    FDOWN.OnClick = [this](TGraphicControl&) { DropDown(); };
    Resize();
}

TOrvikComboBox::~TOrvikComboBox() = default;

void TOrvikComboBox::Resize() {
    const int w = Width(), h = Height(), b = FBorderWidth, a = h - 2 * b;
    const int l = Left(), t = Top();
    FShape.SetBounds(l, t, w, h);
    FDOWN.SetBounds(l + w - h + b, t + b, a, a);
    FLabel.SetBounds(l + 5, t + 1, w - a - b, h - 2);
    SyncList();
}

void TOrvikComboBox::SyncList() {
    // The list's box hides behind the field, twice as wide so its pop-up is.
    if (FComboBox)
        FComboBox->SetBounds(
            {Left(), Top() + FBorderWidth, Left() + 2 * Width(), Top() + Height() - FBorderWidth},
            ItemHeight());
}

void TOrvikComboBox::SetBorderColor(TColor c) {
    FBorderColor = c;
    FShape.PenColor = c;
    FShape.Invalidate();
}

void TOrvikComboBox::SetBorderWidth(int w) {
    FBorderWidth = w;
    FShape.PenWidth = w;
    FShape.Invalidate();
}

void TOrvikComboBox::SetFillColor(TColor c) {
    FFillColor = c;
    FShape.BrushColor = c;
    FShape.Invalidate();
}

void TOrvikComboBox::SetItems(std::vector<std::wstring> items) {
    FItems = std::move(items);
    FItemIndex = -1; // replacing the strings clears the selection
    if (FComboBox) {
        FComboBox->SetItems(FItems);
        FComboBox->SetItemIndex(-1);
    }
    ShowCurrentText();
}

void TOrvikComboBox::SetItemIndex(int index) {
    FItemIndex = index >= 0 && index < int(FItems.size()) ? index : -1;
    if (FComboBox) FComboBox->SetItemIndex(FItemIndex);
    ShowCurrentText();
}

void TOrvikComboBox::ShowCurrentText() {
    FLabel.SetFont(FFont);
    FLabel.SetCaption(FItemIndex >= 0 ? FItems[FItemIndex] : std::wstring());
}

void TOrvikComboBox::SetFont(const TFont& font) {
    FFont = font;
    FLabel.SetFont(font);
}

void TOrvikComboBox::SetNormalImage(const TPicture& p) {
    FNormalImage = p;
    if (!fFirstLoad) FDOWN.SetNormalImage(p);
}

void TOrvikComboBox::SetDownImage(const TPicture& p) {
    FDownImage = p;
    if (!fFirstLoad) FDOWN.SetDownImage(p);
}

void TOrvikComboBox::SetMoveImage(const TPicture& p) {
    FMoveImage = p;
    if (!fFirstLoad) FDOWN.SetMoveImage(p);
}

void TOrvikComboBox::GiveArrowPictures() {
    fFirstLoad = false;
    FDOWN.SetNormalImage(FNormalImage);
    FDOWN.SetMoveImage(FMoveImage);
    FDOWN.SetDownImage(FDownImage);
    FDOWN.Invalidate();
}

void TOrvikComboBox::LoadImg() {
    if (fFirstLoad) GiveArrowPictures();
}

void TOrvikComboBox::SetVisible(bool value) {
    TGraphicControl::SetVisible(value);
    FShape.SetVisible(value);
    FLabel.SetVisible(value);
    FDOWN.SetVisible(value);
}

void TOrvikComboBox::SetEnabled(bool value) {
    TGraphicControl::SetEnabled(value);
    FShape.SetEnabled(value);
    FLabel.SetEnabled(value);
    FDOWN.SetEnabled(value);
}

void TOrvikComboBox::HostChanged(TFormHost* host) {
    FComboBox = host ? host->CreateComboList(*this) : nullptr;
    if (!FComboBox) return;
    FComboBox->SetItems(FItems);
    FComboBox->SetItemIndex(FItemIndex);
    SyncList();
}

void TOrvikComboBox::DropDown() {
    if (Enabled() && FComboBox) FComboBox->DropDown();
}

void TOrvikComboBox::ListSelChange(int index) {
    FItemIndex = index >= 0 && index < int(FItems.size()) ? index : -1;
    ShowCurrentText();
    if (OnClick) OnClick(*this);
}

void TOrvikComboBox::DrawItem(TBitmap32& target, const TRect& rect, int index, bool selected) {
    TCanvas canvas(target, {0, 0}, rect, Owner().TextRasterizer());
    canvas.FillRect(rect, Color32FromColor(selected ? FBorderColor : FFillColor));
    if (index >= 0 && index < int(FItems.size())) {
        const TRect box{rect.Left + 5, rect.Top, rect.Right - 5, rect.Bottom};
        const TTextLayout line{{{FItems[index], canvas.TextWidth(FFont, FItems[index])}},
                               canvas.TextHeight(FFont, FItems[index])};
        const int y = box.Top + (box.Height() - line.LineHeight) / 2;
        canvas.TextRect({box.Left, y, box.Right, y + line.LineHeight}, line, FFont, taLeftJustify);
    }
    if (fFirstLoad) GiveArrowPictures();
}
