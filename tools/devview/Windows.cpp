// Each window the program has so far, in the states worth looking at. A new
// window adds one entry: a file name, a title and how to set it up.
#include "Views.h"
#include "dialogs/SelectDir.h"
#include "dialogs/SettingFormUnit.h"
#include "dialogs/TakenHotKeys.h"
#include "editor/FontFormUnit.h"
#include "editor/PanelForm3Unit.h"
#include "editor/WidthFormUnit.h"
#include "output/BHintUnit.h"
#include "output/LoadFormUnit.h"

namespace {
TBitmap32 Notification(const TTextRasterizer& text, const std::wstring& message) {
    TBHintForm form(text);
    BHintForm = &form; // shown the way the program shows it
    ShowNotification(message);
    BHintForm = nullptr;
    return Snapshot(form);
}

// The settings dialog needs no system for a picture: stored values only.
class TViewSettingPlatform final : public TSettingPlatform {
public:
    bool IsRunWinStart() override { return true; }
    std::wstring DefaultPath() override { return L"C:\\Users\\User\\Pictures\\Kadrix\\"; }
    bool RegHotKey(TTypeHotKey, TShortCut) override { return true; }
    void SaveRegSettings(const TSettings&) override {}
    bool DirectoryExists(const std::wstring&) override { return true; }
    std::optional<std::wstring> ChooseFolder(const std::wstring&) override { return {}; }
    bool FolderWritable(const std::wstring&) override { return true; }
    std::wstring KeyName(std::uint8_t) override { return {}; }
    void ShowError(const std::wstring&) override {}
};

TBitmap32 SettingsDialog(const TTextRasterizer& text, TSettingPage page, bool clipboard) {
    TViewSettingPlatform platform;
    TSettings settings;
    settings.path = platform.DefaultPath();
    settings.Server = !clipboard;
    settings.OpenURL = !clipboard;
    settings.hkAreaScreen = 0x6078;
    TSettingForm form(text, settings, platform);
    form.Show();
    form.TabClick(page);
    return Snapshot(form);
}

class TViewSelectDirPlatform final : public TSelectDirPlatform {
public:
    std::optional<std::wstring> SelectedPath() override { return {}; }
    bool DirectoryExists(const std::wstring&) override { return false; }
};

TBitmap32 FolderChooser(const TTextRasterizer& text) {
    TViewSelectDirPlatform platform;
    TSelectDirForm form(text, platform);
    TBitmap32 picture = Snapshot(form);
    // Where the system's folder tree goes (white, as it is shown).
    const TRect tree = form.TreeBounds();
    for (int y = tree.Top; y < tree.Bottom; ++y)
        for (int x = tree.Left; x < tree.Right; ++x)
            picture.SetPixel(x, y, 0xFFFFFFFF);
    return picture;
}

TBitmap32 Progress(const TTextRasterizer& text, int position) {
    TLoadForm form(text);
    form.SetPosition(position);
    return Snapshot(form);
}
// The tools panel with nothing behind it.
class TNoToolsActions final : public TPanelToolsActions {
public:
    void AddTool(TCurTool) override {}
    void SetPropertyTool(TColor, int) override {}
    void Undo() override {}
    void Redo() override {}
    void TestClose() override {}
    void FocusOverlay() override {}
    void HidePanels() override {}
    void ShowPanels() override {}
    TRect SelectionOnScreen() const override { return {}; }
    TRect MonitorNearest(const TRect&) const override { return {}; }
    int PrimaryScreenHeight() const override { return 0; }
    std::optional<TColor> RunColorDialog(TColor, TPoint) override { return std::nullopt; }
};

TBitmap32 Tools(const TTextRasterizer& text, TImageButton TPanelTools::*tool, TColor colour,
                bool undo) {
    TNoToolsActions actions;
    TPanelTools form(text, actions);
    (form.*tool).Click();
    form.UpdateColorButton(colour);
    form.OnUpdateStateUndoRedo(undo, false);
    return Snapshot(form);
}

TBitmap32 FontBalloon(const TTextRasterizer& text, bool flip) {
    TFontForm form(text, {L"Arial", L"Noto Sans", L"Roboto"});
    form.Show(flip);
    form.btBold.Click();
    return Snapshot(form);
}

TBitmap32 WidthBalloon(const TTextRasterizer& text, bool flip) {
    TWidthForm form(text);
    form.Show(flip);
    return Snapshot(form);
}
} // namespace

// CompanionViews.cpp: the new-version dialog and the companion windows.
std::vector<TWindowEntry> WithCompanionWindows(std::vector<TWindowEntry> entries);

const std::vector<TWindowEntry>& WindowEntries() {
    using T = const TTextRasterizer&;
    static const std::vector<TWindowEntry> entries = WithCompanionWindows({
        {"window-notification-short.png", L"Notification, short message",
         [](T t) { return Notification(t, L"Ссылка на скриншот в буфере обмена."); }},
        {"window-notification-two-lines.png", L"Notification, two lines",
         [](T t) {
             return Notification(t, L"Скриншот скопирован в буфер обмена.\r\n"
                                    L"Нажмите Ctrl+V, чтобы вставить.");
         }},
        {"window-notification-wrapped.png", L"Notification, long message wrapped",
         [](T t) {
             return Notification(t, L"Не удалось загрузить скриншот, потому что сервер не "
                                    L"ответил вовремя. Пожалуйста, попробуйте еще раз.");
         }},
        {"window-notification-overflow.png", L"Notification, message longer than the box",
         [](T t) {
             return Notification(t, L"Не удалось загрузить скриншот, потому что сервер не "
                                    L"ответил вовремя. Проверьте подключение к интернету и "
                                    L"настройки прокси, а затем пожалуйста, попробуйте еще "
                                    L"раз немного позже.");
         }},
        {"window-notification-taken-hotkey.png", L"Notification, a capture hotkey is taken",
         [](T t) { return Notification(t, TakenHotKeysMessage({0x2C})); }},
        {"window-notification-taken-hotkeys.png", L"Notification, two capture hotkeys taken",
         [](T t) {
             return Notification(t, TakenHotKeysMessage({0x202C, 0x2C}));
         }},
        {"window-settings-main.png", L"Settings, main page",
         [](T t) { return SettingsDialog(t, spMain, false); }},
        {"window-settings-hotkeys.png", L"Settings, hotkeys page (edit boxes are system windows)",
         [](T t) { return SettingsDialog(t, spHot, false); }},
        {"window-settings-save.png", L"Settings, saving page",
         [](T t) { return SettingsDialog(t, spSave, false); }},
        {"window-settings-save-clipboard.png", L"Settings, saving page, clipboard chosen",
         [](T t) { return SettingsDialog(t, spSave, true); }},
        {"window-folder-chooser.png", L"Folder chooser (the tree is the system's)",
         [](T t) { return FolderChooser(t); }},
        {"window-progress-0.png", L"Upload progress 0 %", [](T t) { return Progress(t, 0); }},
        {"window-progress-37.png", L"Upload progress 37 %", [](T t) { return Progress(t, 37); }},
        {"window-progress-100.png", L"Upload progress 100 %", [](T t) { return Progress(t, 100); }},
        {"window-tools-start.png", L"Tools panel at the start of a capture",
         [](T t) { return Tools(t, &TPanelTools::btArrow, 255, false); }},
        {"window-tools-text.png", L"Tools panel, text tool, blue, undo available",
         [](T t) { return Tools(t, &TPanelTools::btText, 0xFF8000, true); }},
        {"window-font-below.png", L"Font panel below the tools panel, bold on",
         [](T t) { return FontBalloon(t, false); }},
        {"window-font-above.png", L"Font panel above the tools panel (flipped)",
         [](T t) { return FontBalloon(t, true); }},
        {"window-width-below.png", L"Width panel below the tools panel",
         [](T t) { return WidthBalloon(t, false); }},
        {"window-width-above.png", L"Width panel above the tools panel (flipped)",
         [](T t) { return WidthBalloon(t, true); }},
    });
    return entries;
}
