#pragma once
// The tools panel: the strip of tool buttons beside the selection. It picks
// the overlay's tool (one latched button at most; the latched one clicked
// again leaves no tool), opens the colour dialog and the width and font
// balloons, and carries undo and redo. The overlay and the platform are
// reached through TPanelToolsActions, so the whole panel runs in tests.
#include "annotate/BaseToolLayer.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "widgets/ImageButton.h"

#include <array>
#include <optional>

class TFontForm;
class TWidthForm;

class TPanelToolsActions {
public:
    virtual ~TPanelToolsActions() = default;
    // The overlay.
    virtual void AddTool(TCurTool tool) = 0;
    virtual void SetPropertyTool(TColor color, int penwidth) = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void TestClose() = 0;
    virtual void FocusOverlay() = 0;
    // Hides this panel and the actions panel / shows both, re-places them
    // and gives the overlay the keyboard.
    virtual void HidePanels() = 0;
    virtual void ShowPanels() = 0;
    // The selection in screen coordinates.
    virtual TRect SelectionOnScreen() const = 0;
    // Full bounds of the monitor nearest to area (screen coordinates).
    virtual TRect MonitorNearest(const TRect& area) const = 0;
    virtual int PrimaryScreenHeight() const = 0;
    // The system colour dialog, full open, moved to topLeft; the colour
    // confirmed, none when cancelled.
    virtual std::optional<TColor> RunColorDialog(TColor initial, TPoint topLeft) = 0;
};

// Where a balloon opens beside the tools panel.
struct TSubPanelPlace {
    int Left = 0, Top = 0;
    bool Flip = false; // above the tools panel, pointing down at it

    friend constexpr bool operator==(const TSubPanelPlace&, const TSubPanelPlace&) = default;
};

// tools: the tools panel, selection and monitor: screen rectangles. The
// balloon faces away from the selection when the monitor leaves room.
TSubPanelPlace PlaceSubPanel(const TRect& tools, const TRect& selection, const TRect& monitor,
                             int panelHeight, int offsetX);

class TPanelTools : public TForm {
public:
    static constexpr int FormWidth = 532, FormHeight = 38;
    static constexpr TColor FormColor = 3283465;
    static constexpr int FontPanelOffset = 214, WidthPanelOffset = 147;
    static constexpr int KeyEscape = 27;

    TPanelTools(const TTextRasterizer& text, TPanelToolsActions& actions);

    // The balloons it opens; either may be absent.
    void SetSubPanels(TFontForm* font, TWidthForm* width) {
        FFontForm = font;
        FWidthForm = width;
    }

    TImageButton btArrow{*this};
    TImageButton btPen{*this};
    TImageButton btRect{*this};
    TImageButton btLine{*this};
    TImageButton btMarker{*this};
    TImageButton btSetWidth{*this};
    TImage Image2{*this};
    TImageButton btFillRect{*this};
    TImageButton btText{*this};
    TImageButton btStamp{*this};
    TImageButton btGaus{*this};
    TImageButton btColor{*this};
    TImage Image1{*this};
    TImageButton btUndo{*this};
    TImageButton btRedo{*this};

    void ToolButtonClick(TImageButton& Sender);
    void btColorClick();
    void btSetWidthClick();
    void ShowFontPanel();
    void OnUpdateStateUndoRedo(bool AvailUndo, bool AvailRedo);
    void UpdateColorButton(TColor color);
    // The tool a latched button stands for, ctNone when none is down.
    TCurTool LatchedTool() const;
    void CloseSubPanels();

    void FormShow() override;
    void KeyDown(int key, TShiftState) override;

private:
    struct TToolButton {
        TImageButton* Button;
        TCurTool Tool;
    };
    std::array<TToolButton, 9> ToolButtons();
    void ShowSubPanel(TForm& panel, int offsetX);

    TPanelToolsActions& FActions;
    TFontForm* FFontForm = nullptr;
    TWidthForm* FWidthForm = nullptr;
};
