// The tools panel and its balloons wired to a real overlay, driven as a user
// drives them: button clicks, the slider, the colour dialog's answer.
#include "capture/SetRegionForm.h"
#include "editor/FontFormUnit.h"
#include "editor/PanelForm3Unit.h"
#include "editor/WidthFormUnit.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/FakeSetRegionHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

namespace {
class TOverlayActions : public TPanelToolsActions {
public:
    explicit TOverlayActions(TSetRegionForm& form) : F(form) {}
    void AddTool(TCurTool tool) override { F.AddTool(tool); }
    void SetPropertyTool(TColor color, int penwidth) override {
        F.SetPropertyTool(color, penwidth);
    }
    void Undo() override { F.Undo(); }
    void Redo() override { F.Redo(); }
    void TestClose() override { F.TestClose(); }
    void FocusOverlay() override { ++Focused; }
    void HidePanels() override { Log += "hide "; }
    void ShowPanels() override { Log += "show "; }
    TRect SelectionOnScreen() const override { return {100, 100, 500, 400}; }
    TRect MonitorNearest(const TRect&) const override { return {0, 0, 800, 600}; }
    int PrimaryScreenHeight() const override { return 600; }
    std::optional<TColor> RunColorDialog(TColor initial, TPoint at) override {
        Log += "dialog ";
        DialogInitial = initial;
        DialogAt = at;
        return Choice;
    }

    TSetRegionForm& F;
    int Focused = 0;
    std::string Log;
    std::optional<TColor> Choice;
    TColor DialogInitial = 0;
    TPoint DialogAt;
};

class PanelToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = Settings;
        Settings = TSettings{};
        FTools.SetSubPanels(&FFont, &FWidth);
        FFont.OnFocusOverlay = FWidth.OnFocusOverlay = [this] { ++FActions.Focused; };
        FTools.SetPosition(0, 408);
        FForm.History().OnChangeState = [this](bool u, bool r) {
            FTools.OnUpdateStateUndoRedo(u, r);
        };
        FForm.StartSelectRegion(0);
        Drag(100, 100, 500, 400);
    }
    void TearDown() override { Settings = FSaved; }

    void Drag(int x0, int y0, int x1, int y1) {
        FForm.View().MouseDown({x0, y0, mbLeft, ssLeft});
        FForm.View().MouseMove({(x0 + x1) / 2, (y0 + y1) / 2, mbLeft, ssLeft});
        FForm.View().MouseMove({x1, y1, mbLeft, ssLeft});
        FForm.View().MouseUp({x1, y1, mbLeft, {}});
    }
    static void ClickAt(TForm& f, int x, int y, TShiftState extra = {}) {
        f.MouseDown({x, y, mbLeft, TShiftState(ssLeft) | extra});
        f.MouseUp({x, y, mbLeft, {}});
    }

    TSettings FSaved;
    TFakeSetRegionHost FHost;
    TFakeTextRasterizer FText;
    TSetRegionForm FForm{FHost, FText};
    TOverlayActions FActions{FForm};
    TPanelTools FTools{FText, FActions};
    TFontForm FFont{FText, {L"Arial", L"Noto Sans", L"Roboto"}};
    TWidthForm FWidth{FText};
};

TEST_F(PanelToolsTest, ToolButtonsLatchOneAtMostAndTheLatchedOneClickedAgainLeavesNoTool) {
    struct TCase {
        const char* Name;
        std::vector<TImageButton*> Clicks;
        TCurTool Tool;
        bool FontPanel;
    };
    const TCase cases[] = {
        {"pen", {&FTools.btPen}, ctPen, false},
        {"pen then marker", {&FTools.btPen, &FTools.btMarker}, ctTrPen, false},
        {"pen twice", {&FTools.btPen, &FTools.btPen}, ctNone, false},
        {"text", {&FTools.btText}, ctTextExit, true},
        {"text then blur", {&FTools.btText, &FTools.btGaus}, ctRectGaus, false},
        {"text twice", {&FTools.btText, &FTools.btText}, ctNone, false},
        {"width button leaves the tool", {&FTools.btStamp, &FTools.btSetWidth}, ctStamp, false},
    };
    for (const TCase& c : cases) {
        FTools.btArrow.SetDown(false);
        FTools.btArrow.Click();
        for (TImageButton* b : c.Clicks)
            b->Click();
        EXPECT_EQ(FTools.LatchedTool(), c.Tool) << c.Name;
        EXPECT_EQ(FForm.CurTypeTool(), c.Tool) << c.Name;
        EXPECT_EQ(FFont.Showing(), c.FontPanel) << c.Name;
        int down = 0;
        for (const TGraphicControl* ctl : FTools.Controls())
            if (auto* b = dynamic_cast<const TImageButton*>(ctl)) down += b->Down();
        EXPECT_EQ(down, c.Tool == ctNone ? 0 : 1) << c.Name;
    }
    // With no tool a drag inside the selection moves it.
    FTools.btStamp.Click();
    ASSERT_EQ(FForm.CurTool(), nullptr);
    Drag(200, 200, 230, 210);
    EXPECT_EQ(FForm.Selection().Location().Left, 130);
    EXPECT_EQ(FForm.Selection().Location().Top, 110);
}

TEST_F(PanelToolsTest, SubPanelOpensAwayFromTheSelectionWhenTheMonitorLeavesRoom) {
    const TRect monitor{0, 0, 1920, 1080};
    struct TCase {
        const char* Name;
        TRect Tools, Selection;
        int Height, Offset;
        TSubPanelPlace Expected;
    };
    const TCase cases[] = {
        {"above the selection, room above",
         {300, 200, 832, 238},
         {300, 246, 900, 600},
         95,
         214,
         {514, 100, true}},
        {"above the selection, no room above",
         {300, 40, 832, 78},
         {300, 86, 900, 600},
         95,
         214,
         {514, 83, false}},
        {"below the selection, room below",
         {300, 608, 832, 646},
         {300, 100, 900, 600},
         38,
         147,
         {447, 651, false}},
        {"below the selection, no room below",
         {300, 1000, 832, 1038},
         {300, 100, 900, 992},
         95,
         214,
         {514, 900, true}},
        {"level with the selection counts as below",
         {300, 100, 832, 138},
         {300, 100, 900, 600},
         38,
         147,
         {447, 143, false}},
        {"exactly enough room above",
         {300, 100, 832, 138},
         {300, 146, 900, 600},
         95,
         214,
         {514, 0, true}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(PlaceSubPanel(c.Tools, c.Selection, monitor, c.Height, c.Offset), c.Expected)
            << c.Name;
}

TEST_F(PanelToolsTest, UndoRedoButtonsFollowTheHistoryAndADoubleClickStepsTwice) {
    EXPECT_FALSE(FTools.btUndo.Enabled());
    EXPECT_FALSE(FTools.btRedo.Enabled());
    FTools.btRect.Click();
    Drag(150, 150, 200, 200);
    EXPECT_TRUE(FTools.btUndo.Enabled());
    EXPECT_FALSE(FTools.btRedo.Enabled());
    Drag(250, 250, 300, 300);
    const int x = FTools.btUndo.Left() + 5;
    ClickAt(FTools, x, 5);
    ClickAt(FTools, x, 5, ssDouble);
    EXPECT_EQ(FForm.History().Position(), 0);
    EXPECT_FALSE(FTools.btUndo.Enabled());
    EXPECT_TRUE(FTools.btRedo.Enabled());
    FTools.btRedo.Click();
    EXPECT_TRUE(FTools.btUndo.Enabled());
}

TEST_F(PanelToolsTest, WidthEightFromTheSliderClosesThePanelAndMakesTheMarker40Wide) {
    FTools.btSetWidth.Click();
    ASSERT_TRUE(FWidth.Showing());
    EXPECT_EQ(FWidth.Posbar1.Position(), 5);
    const TRect bar = FWidth.Posbar1.BoundsRect();
    ClickAt(FWidth, bar.Right - 1, (bar.Top + bar.Bottom) / 2);
    EXPECT_EQ(Settings.penwidth, 8);
    EXPECT_FALSE(FWidth.Showing());
    EXPECT_GT(FActions.Focused, 0);

    FTools.btMarker.Click();
    const TBitmap32 before = FForm.View().Bitmap();
    FHost.Ticks += 30;
    FForm.View().MouseDown({150, 250, mbLeft, ssLeft});
    for (int x = 170; x <= 350; x += 20) {
        FHost.Ticks += 30;
        FForm.View().MouseMove({x, 250, mbLeft, ssLeft});
    }
    FForm.View().MouseUp({350, 250, mbLeft, {}});
    // 40 px centred on the pixel centre 250.5: rows 231 to 269 whole, rows
    // 230 and 270 half covered (width 5 would touch 5 rows, 250 +- 2).
    const TBitmap32& after = FForm.View().Bitmap();
    int rows = 0;
    for (int y = 200; y < 300; ++y)
        rows += after.Pixel(250, y) != before.Pixel(250, y);
    EXPECT_EQ(rows, 41);
}

TEST_F(PanelToolsTest, ColourDialogMovesAndRestoresThePanelsAndOnlyAConfirmedColourCounts) {
    FTools.SetPosition(120, 408);
    FActions.Choice.reset();
    FTools.btColor.Click();
    EXPECT_EQ(FActions.Log, "hide dialog show ");
    EXPECT_EQ(FActions.DialogInitial, 255);
    EXPECT_EQ(FActions.DialogAt, (TPoint{120, 600 / 2 - 175}));
    EXPECT_EQ(Settings.wincolor, 255);
    EXPECT_EQ(FTools.btColor.BackgroundImage().Bitmap.Pixel(0, 0), 0xFFFF0000u);

    FActions.Choice = 0x00FF8000; // blue-ish, $00BBGGRR
    FTools.btColor.Click();
    EXPECT_EQ(Settings.wincolor, 0x00FF8000);
    EXPECT_EQ(Settings.penwidth, 5);
    EXPECT_EQ(FTools.btColor.BackgroundImage().Bitmap.Pixel(47, 37), 0xFF0080FFu);
}

TEST_F(PanelToolsTest, FontPanelShowsTheTextSettingsAndStyleTogglesRestoreTheBits) {
    TextFontStyle = fsItalic | fsStrikeOut;
    TextFontSize = 15;
    FTools.btText.Click();
    ASSERT_TRUE(FFont.Showing());
    EXPECT_TRUE(FFont.btItalic.Down());
    EXPECT_TRUE(FFont.btStrike.Down());
    EXPECT_FALSE(FFont.btBold.Down());
    EXPECT_EQ(FFont.OrvikComboBox1.ItemIndex(), 1); // Noto Sans
    EXPECT_EQ(FFont.OrvikComboBox2.Items()[std::size_t(FFont.OrvikComboBox2.ItemIndex())], L"15");
    FFont.btBold.Click();
    EXPECT_EQ(TextFontStyle, fsItalic | fsStrikeOut | fsBold);
    FFont.btBold.Click();
    EXPECT_EQ(TextFontStyle, fsItalic | fsStrikeOut);
    FFont.OrvikComboBox2.ListSelChange(12);
    EXPECT_EQ(TextFontSize, 20);
    FFont.OrvikComboBox1.ListSelChange(2);
    EXPECT_EQ(TextFontName, L"Roboto");
    TextFontName = L"Noto Sans";
    TextFontStyle = 0;
}

TEST_F(PanelToolsTest, AFlippedBalloonHasItsOutlineAndControlsMovedUp) {
    struct TCase {
        const char* Name;
        bool Flip;
        int Button, List, Slider, Thin, Thick;
    };
    const TCase cases[] = {{"below", false, 11, 56, 14, 18, 16},
                           {"above", true, 6, 50, 10, 14, 12}};
    for (const TCase& c : cases) {
        FFont.Show(c.Flip);
        FWidth.Show(c.Flip);
        EXPECT_EQ(FFont.btBold.Top(), c.Button) << c.Name;
        EXPECT_EQ(FFont.btStrike.Top(), c.Button) << c.Name;
        EXPECT_EQ(FFont.OrvikComboBox2.Top(), c.List) << c.Name;
        EXPECT_EQ(FWidth.Posbar1.Top(), c.Slider) << c.Name;
        EXPECT_EQ(FWidth.Image2.Top(), c.Thin) << c.Name;
        EXPECT_EQ(FWidth.Image3.Top(), c.Thick) << c.Name;
        // The pointer row is the narrowest: the first row below, the last above.
        const std::vector<TRect>& rgn = FWidth.WindowRgn();
        ASSERT_FALSE(rgn.empty());
        const TRect tip = c.Flip ? rgn.back() : rgn.front();
        EXPECT_EQ(tip.Top, c.Flip ? FWidth.ClientHeight() - 1 : 0) << c.Name;
        EXPECT_LE(tip.Width(), 2) << c.Name;
    }
}

TEST_F(PanelToolsTest, EscOnThePanelClosesTheOverlay) {
    FTools.KeyDown(27, {});
    EXPECT_FALSE(FHost.Showing);
}
} // namespace
