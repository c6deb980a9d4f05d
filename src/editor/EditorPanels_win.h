#pragma once
// The editor's panels in their windows: the tools panel and its width and
// font balloons, placed together with the actions panel around the
// selection. It is the overlay's panel hook: it shows, hides and places
// all of them, and connects the tools panel to the overlay, the undo
// history, the monitors and the colour dialog.
#include "capture/SetRegionForm.h"
#include "editor/FontFormUnit.h"
#include "editor/PanelForm3Unit.h"
#include "editor/WidthFormUnit.h"
#include "win32/FormWindow_win.h"

class TSetRegionWindow;
class TPanelSaveWindow;

// Every font family the system knows now, private ones included, sorted.
std::vector<std::wstring> SystemFontFaces();

class TEditorPanels final : public TOverlayPanels, private TPanelToolsActions {
public:
    TEditorPanels(TSetRegionWindow& overlay, TPanelSaveWindow& save, const TTextRasterizer& text);
    ~TEditorPanels() override;
    TEditorPanels(const TEditorPanels&) = delete;
    TEditorPanels& operator=(const TEditorPanels&) = delete;

    TPanelTools& Tools() { return FTools.Form; }

    // TOverlayPanels
    void HideEditorPanels() override;
    void ShowEditorPanels() override;
    void UpdatePositionPanels(const TRect& workArea, const TFloatRect& sel) override;
    void CloseEditorPanels() override;
    void StartEditor() override;
    void PerformUpload() override;
    void PerformCopy() override;
    void ShowFontPanel() override;
    void ApplicationActivated() override;

private:
    // TPanelToolsActions
    void AddTool(TCurTool tool) override;
    void SetPropertyTool(TColor color, int penwidth) override;
    void Undo() override;
    void Redo() override;
    void TestClose() override;
    void FocusOverlay() override;
    void HidePanels() override;
    void ShowPanels() override;
    TRect SelectionOnScreen() const override;
    TRect MonitorNearest(const TRect& area) const override;
    int PrimaryScreenHeight() const override;
    std::optional<TColor> RunColorDialog(TColor initial, TPoint topLeft) override;

    void PlacePanels();
    void CloseSubPanels();
    void WireBalloon(TBalloonForm& form, HWND wnd);

    TSetRegionWindow& FOverlay;
    TPanelSaveWindow& FSave;
    THostedForm<TPanelTools> FTools;
    THostedForm<TFontForm> FFont;
    THostedForm<TWidthForm> FWidth;
    TRect FWorkArea;
    TFloatRect FSelection;
};
