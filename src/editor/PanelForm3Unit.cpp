#include "editor/PanelForm3Unit.h"

#include "editor/FontFormUnit.h"
#include "editor/WidthFormUnit.h"
#include "settings/SettingsUnit.h"
#include "ui/Artwork.h"

#include <string>

namespace {
constexpr int SubPanelGap = 5;
// The colour dialog's top sits this far above the primary screen's middle.
constexpr int ColorDialogRise = 175;

TPicture Art(const std::string& name) {
    return TPicture(ArtPicture(name));
}

void SetPictures(TImageButton& b, const std::string& base, bool latches, bool disables) {
    b.SetNormalImage(Art(base + ".normal"));
    b.SetMoveImage(Art(base + ".hover"));
    b.SetDownImage(Art(base + ".down"));
    if (disables) b.SetDisabledImage(Art(base + ".disabled"));
    if (!latches) return;
    b.SetNormalImage2(Art(base + ".normal2"));
    b.SetMoveImage2(Art(base + ".hover2"));
    b.SetDownImage2(Art(base + ".down2"));
    if (disables) b.SetDisabledImage2(Art(base + ".disabled2"));
}
} // namespace

TSubPanelPlace PlaceSubPanel(const TRect& tools, const TRect& selection, const TRect& monitor,
                             int panelHeight, int offsetX) {
    const int above = tools.Top - panelHeight - SubPanelGap;
    const int below = tools.Bottom + SubPanelGap;
    bool flip;
    if (tools.Top < selection.Top)
        flip = tools.Top - monitor.Top >= panelHeight + SubPanelGap;
    else
        flip = tools.Bottom + panelHeight + SubPanelGap > monitor.Bottom;
    return {tools.Left + offsetX, flip ? above : below, flip};
}

TPanelTools::TPanelTools(const TTextRasterizer& text, TPanelToolsActions& actions)
    : TForm(text, FormWidth, FormHeight), FActions(actions) {
    Color = FormColor;
    struct TSpec {
        TImageButton& Button;
        const wchar_t* Hint;
        const char* Art;
        int Width;
    };
    // Left to right; the separators sit at 228 and 438.
    const TSpec specs[] = {
        {btArrow, L"Стрелка", "tool.arrow", 38},
        {btPen, L"Карандаш", "tool.pen", 38},
        {btRect, L"Прямоугольник", "tool.rect", 38},
        {btLine, L"Линия", "tool.line", 38},
        {btMarker, L"Маркер", "tool.marker", 38},
        {btSetWidth, L"Толщина", "tool.width", 38},
        {btFillRect, L"Прямоугольник с заливкой", "tool.fillrect", 38},
        {btText, L"Добавить текст", "tool.text", 38},
        {btStamp, L"Нумерация", "tool.stamp", 38},
        {btGaus, L"Размытие", "tool.blur", 38},
        {btColor, L"Выбор цвета", "tool.color", 48},
        {btUndo, L"Отменить", "tool.undo", 38},
        {btRedo, L"Повторить", "tool.redo", 38},
    };
    int left = 0;
    for (const TSpec& s : specs) {
        if (&s.Button == &btFillRect || &s.Button == &btUndo) left += 10;
        s.Button.SetBounds(left, 0, s.Width, FormHeight);
        s.Button.SetHint(s.Hint);
        const bool tool = &s.Button != &btSetWidth && &s.Button != &btColor &&
                          &s.Button != &btUndo && &s.Button != &btRedo;
        const bool disables = tool || &s.Button == &btUndo || &s.Button == &btRedo;
        SetPictures(s.Button, s.Art, tool, disables);
        left += s.Width;
    }
    const TPicture separator(ArtPicture("sep.tools"));
    Image2.SetBounds(228, 0, 10, FormHeight);
    Image2.SetPicture(separator);
    Image1.SetBounds(438, 0, 10, FormHeight);
    Image1.SetPicture(separator);

    for (const TToolButton& t : ToolButtons())
        t.Button->OnClick = [this](TGraphicControl& c) {
            ToolButtonClick(static_cast<TImageButton&>(c));
        };
    btSetWidth.OnClick = [this](TGraphicControl&) { btSetWidthClick(); };
    btColor.OnClick = [this](TGraphicControl&) { btColorClick(); };
    // A double click steps twice: the click, then the double click.
    btUndo.OnClick = btUndo.OnDblClick = [this](TGraphicControl&) { FActions.Undo(); };
    btRedo.OnClick = btRedo.OnDblClick = [this](TGraphicControl&) { FActions.Redo(); };
    btUndo.SetEnabled(false);
    btRedo.SetEnabled(false);
    UpdateColorButton(Settings.wincolor);
}

std::array<TPanelTools::TToolButton, 9> TPanelTools::ToolButtons() {
    return {{{&btArrow, ctArrow},
             {&btPen, ctPen},
             {&btRect, ctRect},
             {&btLine, ctLine},
             {&btMarker, ctTrPen},
             {&btFillRect, ctTrRect},
             {&btText, ctTextExit},
             {&btStamp, ctStamp},
             {&btGaus, ctRectGaus}}};
}

TCurTool TPanelTools::LatchedTool() const {
    for (const TToolButton& t : const_cast<TPanelTools*>(this)->ToolButtons())
        if (t.Button->Down()) return t.Tool;
    return ctNone;
}

void TPanelTools::CloseSubPanels() {
    if (FWidthForm && FWidthForm->Showing()) FWidthForm->Close();
    if (FFontForm && FFontForm->Showing()) FFontForm->Close();
}

void TPanelTools::ToolButtonClick(TImageButton& Sender) {
    CloseSubPanels();
    if (Sender.Down()) {
        Sender.SetDown(false);
        FActions.AddTool(ctNone);
        return;
    }
    TCurTool tool = ctNone;
    for (const TToolButton& t : ToolButtons()) {
        t.Button->SetDown(false);
        if (t.Button == &Sender) tool = t.Tool;
    }
    if (&Sender == &btText) {
        ShowFontPanel();
        btText.SetDown(true);
        FActions.AddTool(ctTextExit);
        FActions.FocusOverlay();
        return;
    }
    if (tool == ctNone) return;
    Sender.SetDown(true);
    FActions.AddTool(tool);
}

void TPanelTools::ShowSubPanel(TForm& panel, int offsetX) {
    const TRect tools = ScreenBounds();
    const TSubPanelPlace p =
        PlaceSubPanel(tools, FActions.SelectionOnScreen(), FActions.MonitorNearest(tools),
                      panel.ClientHeight(), offsetX);
    panel.SetPosition(p.Left, p.Top);
    if (&panel == FFontForm) FFontForm->Show(p.Flip);
    if (&panel == FWidthForm) FWidthForm->Show(p.Flip);
}

void TPanelTools::ShowFontPanel() {
    if (FFontForm) ShowSubPanel(*FFontForm, FontPanelOffset);
}

void TPanelTools::btSetWidthClick() {
    if (FFontForm && FFontForm->Showing()) FFontForm->Close();
    if (FWidthForm) ShowSubPanel(*FWidthForm, WidthPanelOffset);
}

void TPanelTools::btColorClick() {
    CloseSubPanels();
    FActions.HidePanels();
    const std::optional<TColor> chosen = FActions.RunColorDialog(
        Settings.wincolor, {Left(), FActions.PrimaryScreenHeight() / 2 - ColorDialogRise});
    if (chosen) {
        FActions.SetPropertyTool(*chosen, -1);
        UpdateColorButton(*chosen);
    }
    FActions.ShowPanels();
}

void TPanelTools::OnUpdateStateUndoRedo(bool AvailUndo, bool AvailRedo) {
    btUndo.SetEnabled(AvailUndo);
    btRedo.SetEnabled(AvailRedo);
}

void TPanelTools::UpdateColorButton(TColor color) {
    btColor.SetBackgroundImage(
        TPicture(TBitmap32(btColor.Width(), btColor.Height(), Color32FromColor(color)), false));
}

void TPanelTools::FormShow() {
    UpdateColorButton(Settings.wincolor);
}

void TPanelTools::KeyDown(int key, TShiftState) {
    if (key == KeyEscape) FActions.TestClose();
}
