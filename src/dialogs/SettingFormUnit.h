#pragma once
// The settings dialog as a portable form: its layout, the three pages, the
// hotkey conflict rule, reset, the folder choice and the save order. What
// needs the system (the registry, the hotkey registrations, the folder
// chooser, the file system, the edit boxes) comes through TSettingPlatform
// and the host window.
#include "settings/ReplaceHotKey.h"
#include "settings/SettingsUnit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Shape.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageButton2.h"
#include "widgets/OrvikComboBox.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

enum TModalResult { mrNone, mrOk, mrCancel };

class TSettingPlatform {
public:
    virtual ~TSettingPlatform() = default;
    virtual bool IsRunWinStart() = 0;
    virtual std::wstring DefaultPath() = 0;
    virtual bool RegHotKey(TTypeHotKey tp, TShortCut hk) = 0;
    // Writes the record and the autostart value; raises ERegistryException.
    virtual void SaveRegSettings(const TSettings& settings) = 0;
    virtual bool DirectoryExists(const std::wstring& path) = 0;
    // The folder chooser's modal run (preselect empty: none); nullopt on cancel.
    virtual std::optional<std::wstring> ChooseFolder(const std::wstring& preselect) = 0;
    virtual bool FolderWritable(const std::wstring& folder) = 0;
    virtual std::wstring KeyName(std::uint8_t virtualKey) = 0;
    // The application's error box for a failed save.
    virtual void ShowError(const std::wstring& message) = 0;
};

// Creates a uniquely named empty file in folder, closes and deletes it; the
// name is two random numbers from 1000000 to 1999999 written one after the
// other. False when the file cannot be created.
bool FolderWritable(const std::wstring& folder, std::mt19937& random);

enum TSettingPage { spMain, spHot, spSave };

// A hotkey box: the framed field, the editor's place in it, its caption.
struct THotKeyField {
    THotKeyField(TForm& owner, TKeyNameFn keyName)
        : Frame(owner), Caption(owner), Editor(std::move(keyName)) {}
    TShape Frame;
    TLabel Caption;
    THotKeyEditor Editor;
    // Where the system edit box goes (form coordinates).
    TRect EditBounds;
};

class TSettingForm : public TForm {
public:
    static constexpr int FormWidth = 681, FormHeight = 439;

    TSettingForm(const TTextRasterizer& text, TSettings& settings, TSettingPlatform& platform);

    // Window chrome and frame
    TLabel lbTitle{*this};
    TImageButton btClose{*this};
    TShape shFrame{*this};
    TImageButton2 btMain{*this};
    TImageButton2 btHot{*this};
    TImageButton2 btSave{*this};
    // Pages: backgrounds and headings
    TShape pMain{*this};
    TShape pHot{*this};
    TShape pSave{*this};
    TLabel lbMainHeading{*this}, lbHotHeading{*this}, lbSaveHeading{*this};
    // Main page
    TImageButton btRunWinStart{*this}, btShowRedact{*this}, btShowCursor{*this}, btPlaySound{*this};
    TLabel lbRunWinStart{*this}, lbShowRedact{*this}, lbShowCursor{*this}, lbPlaySound{*this};
    TImage imgSepMain{*this};
    // Hotkey page
    THotKeyField hkAllScreen, hkAreaScreen, hkWinScreen;
    TImageButton btTwoMouse{*this};
    TLabel lbTwoMouse{*this};
    // Save page
    TImageButton btServer{*this}, btOpenURL{*this}, btClip{*this}, btSaveToo{*this};
    TLabel lbServer{*this}, lbOpenURL{*this}, lbClip{*this}, lbSaveToo{*this};
    TImage imgSepSave{*this};
    TShape shPath{*this};
    TLabel edPath2{*this};
    TImageButton btSelectDir{*this};
    TLabel lbFormat{*this};
    TOrvikComboBox cbFormat{*this};
    // Bottom bar
    TShape shBottom{*this};
    TImageButton imgReset{*this};
    TLabel lbReset{*this};
    TImageButton btCancel{*this};
    TImageButton btSaveSettings{*this};

    void LoadSettings();
    void SaveSettings();
    void DefaultSettings();
    void FormShow() override;
    // Esc cancels, as in any dialog.
    void KeyDown(int key, TShiftState shift) override;

    void TabClick(TSettingPage page);
    TSettingPage ActivePage() const { return FPage; }
    void RadioClick(TImageButton& clicked);
    void SelectDirClick();
    void SaveClick();
    void CancelClick();

    TModalResult ModalResult() const { return FModalResult; }
    // Clears the result before a new modal run.
    void ResetModalResult() { FModalResult = mrNone; }
    std::wstring PathText() const { return edPath2.Caption(); }

    THotKeyField& Field(TTypeHotKey kind);
    // Tells the host the visible page changed (the edit boxes follow it).
    std::function<void()> OnPageChanged;

private:
    void Layout();
    void SetupCheck(TImageButton& box, TLabel& label, int left, int top, std::wstring caption,
                    int labelGap = 33);
    void SetupHotKeyField(THotKeyField& f, int top, std::wstring caption);
    void CheckConflict(THotKeyField& changed);
    void ShowPage(TSettingPage page);
    void EndModal(TModalResult result);

    TSettings& FSettings;
    TSettingPlatform& FPlatform;
    TSettingPage FPage = spMain;
    bool FSavePageShown = false;
    TModalResult FModalResult = mrNone;
    std::vector<TGraphicControl*> FPages[3];
};
