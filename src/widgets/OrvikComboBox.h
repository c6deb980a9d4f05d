#pragma once
// A drop-down list styled like the dark windows: a framed field with the
// selected item's text and an arrow button. The system's own list (a real
// owner-drawn combo box, out of sight) provides the pop-up and the user's
// selection; the control keeps the items and the index and draws the items.
// OnClick is the selection-change notification, fired only when the user
// picks an item.
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Shape.h"
#include "widgets/ImageButton.h"

#include <memory>
#include <string>
#include <vector>

class TOrvikComboBox : public TGraphicControl {
public:
    explicit TOrvikComboBox(TForm& owner);
    ~TOrvikComboBox() override;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor c);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int w);
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor c);

    const std::vector<std::wstring>& Items() const { return FItems; }
    void SetItems(std::vector<std::wstring> items);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);

    const TFont& GetFont() const { return FFont; }
    void SetFont(const TFont& font);

    const TPicture& NormalImage() const { return FNormalImage; }
    const TPicture& DownImage() const { return FDownImage; }
    const TPicture& MoveImage() const { return FMoveImage; }
    void SetNormalImage(const TPicture& p);
    void SetDownImage(const TPicture& p);
    void SetMoveImage(const TPicture& p);
    // Gives the arrow button its pictures the first time.
    void LoadImg();

    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void HostChanged(TFormHost* host) override;

    // --- from the platform list
    void DropDown();
    // The user picked index in the pop-up.
    void ListSelChange(int index);
    // One item of the pop-up drawn into target inside rect (the platform adds
    // the focus rectangle).
    void DrawItem(TBitmap32& target, const TRect& rect, int index, bool selected);
    int ItemHeight() const { return Height() - 6; }
    TComboList* List() const { return FComboBox.get(); }

    // The parts, for layout checks and the developer view.
    TShape& FrameShape() { return FShape; }
    TLabel& TextLabel() { return FLabel; }
    TImageButton& ArrowButton() { return FDOWN; }

protected:
    void Resize() override;

private:
    void ShowCurrentText();
    void GiveArrowPictures();
    void SyncList();

    TColor FBorderColor = 0x7E4B27;
    int FBorderWidth = 2;
    TColor FFillColor = 0x321A09;
    bool fFirstLoad = true;
    // Later members paint above earlier ones: frame, label, arrow.
    TShape FShape;
    TLabel FLabel;
    TImageButton FDOWN;
    std::unique_ptr<TComboList> FComboBox;
    std::vector<std::wstring> FItems;
    int FItemIndex = -1;
    TFont FFont{L"Roboto", 12, 0, 0xFFFFFF};
    TPicture FNormalImage, FDownImage, FMoveImage;
};
