#pragma once
// The folder chooser's form: the frame around the shell's folder tree, the
// cross and the two buttons, and when "Сохранить" may close it. The tree
// itself is the system's (SelectDir_win).
#include "dialogs/SettingFormUnit.h"

class TSelectDirPlatform {
public:
    virtual ~TSelectDirPlatform() = default;
    // The selected node's file-system path; nullopt without a selection or
    // for a virtual node.
    virtual std::optional<std::wstring> SelectedPath() = 0;
    virtual bool DirectoryExists(const std::wstring& path) = 0;
};

class TSelectDirForm : public TForm {
public:
    static constexpr int FormWidth = 402, FormHeight = 634;
    static constexpr int BarHeight = 56;

    TSelectDirForm(const TTextRasterizer& text, TSelectDirPlatform& platform);

    TImageButton btClose{*this};
    TImageButton btCancel{*this};
    TImageButton btOk{*this};

    // Where the tree goes: inside margins 20 left and right, 30 top, 10 bottom.
    TRect TreeBounds() const;

    void SaveClick();
    void CancelClick();
    void KeyDown(int key, TShiftState shift) override;

    TModalResult ModalResult() const { return FModalResult; }
    const std::wstring& ChosenPath() const { return FChosen; }

private:
    void EndModal(TModalResult result);

    TSelectDirPlatform& FPlatform;
    TModalResult FModalResult = mrNone;
    std::wstring FChosen;
};
