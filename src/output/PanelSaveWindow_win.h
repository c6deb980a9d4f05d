#pragma once
// The actions panel in its window, beside the overlay: the platform half of
// the copy, save and upload actions (clipboard, save dialog, files, shell),
// the upload worker with its GUI-thread hand-over, and the overlay's panel
// hooks that show, hide and place the panel.
#include "capture/SetRegionForm.h"
#include "output/PanelForm2Unit.h"
#include "output/SendScreen.h"
#include "settings/Registry_win.h"
#include "support/GuiDispatcher_win.h"
#include "win32/FormWindow_win.h"

class TSetRegionWindow;

class TPanelSaveWindow final : public TPanelSaveActions,
                               public TOverlayPanels,
                               private TProgressView {
public:
    TPanelSaveWindow(TSetRegionWindow& overlay, const TTextRasterizer& text);
    ~TPanelSaveWindow() override;

    TPanelSave& Panel() { return FPanel.Form; }
    HWND Handle() const { return FPanel.Window.Handle(); }

    // TOverlayPanels
    void HideEditorPanels() override;
    void ShowEditorPanels() override;
    void UpdatePositionPanels(const TRect& workArea, const TFloatRect& sel) override;
    void CloseEditorPanels() override;
    void StartEditor() override;
    void PerformUpload() override;
    void PerformCopy() override;

    // TPanelSaveActions
    void EndLiveTool() override;
    TBitmap32 GetBitmap() override;
    void CloseOverlay() override;
    void TestClose() override;
    void HidePanels() override;
    void ShowPanels() override;
    void CopyBitmapToClipboard(const TBitmap32& image) override;
    void CopyTextToClipboard(const std::wstring& text) override;
    std::optional<TSaveDialogResult> RunSaveDialog(const TSaveDialogRequest& request) override;
    bool DirectoryExists(const std::wstring& dir) override;
    void ForceDirectories(const std::wstring& dir) override;
    void WriteFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
    void OpenInShell(const std::wstring& address) override;
    bool SendScreen(std::function<std::vector<std::uint8_t>()> encode,
                    std::wstring_view format) override;
    void ShowNotification(const std::wstring& text) override;
    void ShowSurveyOrOffer() override;
    TLocalTime Now() override;
    TRegistry& Registry() override { return FRegistry; }

private:
    // TProgressView
    bool Showing() const override;
    void Show() override;
    void Close() override;
    void SetPosition(std::int32_t percent) override;

    TSetRegionWindow& FOverlay;
    TWinRegistry FRegistry;
    THostedForm<TPanelSave> FPanel;
    TWinGuiDispatcher FDispatcher;
    std::unique_ptr<TThreadSendScreen> FWorker;
    TRect FWorkArea;
    TFloatRect FSelection;
};
