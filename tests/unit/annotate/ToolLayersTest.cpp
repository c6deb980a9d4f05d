// The drawing tools driven through the overlay as a user drives them: a
// selection, a chosen tool, mouse events, and the committed working image.
#include "annotate/Base2PToolLayer.h"
#include "annotate/BasePLToolLayer.h"
#include "annotate/StampNumber.h"
#include "capture/SetRegionForm.h"
#include "gfx/BoxBlur.h"
#include "gfx/DirtyRegion.h"
#include "gfx/PolygonFill.h"
#include "gfx/Stroker.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/FakeSetRegionHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

#include <set>

namespace {
constexpr TColor32 Red = 0xFFFF0000;

class ToolLayersTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = Settings;
        Settings = TSettings{};
        FForm.StartSelectRegion(0);
        Drag(mbLeft, {{100, 100}, {500, 400}});
        FScreen = Image();
    }
    void TearDown() override { Settings = FSaved; }

    void Press(int x, int y, TMouseButton b = mbLeft) {
        FForm.View().MouseDown({x, y, b, ButtonKey(b)});
    }
    void Move(int x, int y, TMouseButton b = mbLeft) {
        FForm.View().MouseMove({x, y, mbLeft, ButtonKey(b)});
    }
    void Release(int x, int y, TMouseButton b = mbLeft) { FForm.View().MouseUp({x, y, b, {}}); }
    void Hover(int x, int y) { FForm.View().MouseMove({x, y, mbLeft, {}}); }
    void Drag(TMouseButton b, std::initializer_list<TPoint> path) {
        const TPoint* p = path.begin();
        Press(p->X, p->Y, b);
        for (++p; p != path.end(); ++p)
            Move(p->X, p->Y, b);
        Release((path.end() - 1)->X, (path.end() - 1)->Y, b);
    }
    // A freehand move the pen takes: 30 ms after the last one.
    void PenMove(int x, int y) {
        FHost.Ticks += 30;
        Move(x, y);
    }
    const TBitmap32& Image() const { return FForm.View().Bitmap(); }
    int Steps() { return FForm.History().Count(); }

    TSettings FSaved;
    TFakeSetRegionHost FHost;
    TFakeTextRasterizer FText;
    TSetRegionForm FForm{FHost, FText};
    TBitmap32 FScreen;
};

TEST_F(ToolLayersTest, TheEditorStartsWithTheArrowAndADragCommitsIt) {
    ASSERT_EQ(FForm.CurTypeTool(), ctArrow);
    ASSERT_NE(FForm.CurTool(), nullptr);
    // The release point differs from the last move: the arrow keeps the
    // drawing of the last move, so its tip is at (300, 250).
    Press(150, 250);
    Move(220, 250);
    Move(300, 250);
    Release(340, 250);
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(Image().Pixel(200, 250), Red);
    EXPECT_EQ(Image().Pixel(200, 254), FScreen.Pixel(200, 254)); // shaft is 5 px wide
    EXPECT_EQ(Image().Pixel(280, 255), Red);                     // inside the 15 px head
    EXPECT_EQ(Image().Pixel(320, 250), FScreen.Pixel(320, 250));
    // The commit leaves a fresh arrow layer and an empty draw image.
    EXPECT_EQ(FForm.CurTypeTool(), ctArrow);
    EXPECT_TRUE(FForm.DrawLayer().DrawnArea().IsEmpty());
    EXPECT_EQ(FForm.DrawLayer().Bitmap().Pixel(200, 250), DrawImageEmpty);
}

TEST_F(ToolLayersTest, ADragWithoutMovementCommitsNothingAndLeavesNothingOnScreen) {
    FForm.AddTool(ctLine);
    Drag(mbLeft, {{200, 200}});
    // Out and back in one drag: the release is at the press point.
    Drag(mbLeft, {{200, 200}, {260, 230}, {200, 200}});
    Press(200, 200);
    Move(260, 230);
    Release(200, 200);
    EXPECT_EQ(Steps(), 1);
    EXPECT_TRUE(FForm.DrawLayer().DrawnArea().IsEmpty());
    EXPECT_EQ(FForm.DrawLayer().Bitmap().Pixel(230, 215), DrawImageEmpty);
    // One pixel is enough.
    Drag(mbLeft, {{200, 200}, {201, 200}});
    EXPECT_EQ(Steps(), 2);
    EXPECT_NE(Image(), FScreen);
}

TEST_F(ToolLayersTest, ReversedDragsGiveTheSameRectangles) {
    for (TCurTool tool : {ctRect, ctFillRect, ctTrRect, ctRectGaus}) {
        FForm.AddTool(tool);
        Drag(mbLeft, {{150, 160}, {300, 280}, {320, 300}});
        const TBitmap32 forward = Image();
        FForm.Undo();
        Drag(mbLeft, {{320, 300}, {200, 200}, {150, 160}});
        EXPECT_EQ(Image(), forward) << "tool " << int(tool);
        FForm.Undo();
        EXPECT_EQ(Image(), FScreen);
    }
}

TEST_F(ToolLayersTest, FilledRectanglesAreOpaqueOrTranslucentWithTheirEdgesExcluded) {
    FForm.AddTool(ctFillRect);
    Drag(mbLeft, {{150, 150}, {160, 170}});
    EXPECT_EQ(Image().Pixel(150, 150), Red);
    EXPECT_EQ(Image().Pixel(159, 169), Red);
    EXPECT_EQ(Image().Pixel(160, 165), FScreen.Pixel(160, 165));
    EXPECT_EQ(Image().Pixel(155, 170), FScreen.Pixel(155, 170));

    // Alpha 175 blended into the transparent white draw image gives
    // $78FF5151, which is then blended over the screen pixel.
    FForm.AddTool(ctTrRect);
    Drag(mbLeft, {{200, 200}, {240, 240}});
    const TColor32 b = FScreen.Pixel(220, 220);
    auto over = [](int f, int bc) { return (256 * bc + 128 + (f - bc) * 0x78) / 256; };
    const TColor32 expected =
        TColor32(over(0x78, AlphaOf(b))) << 24 | TColor32(over(0xFF, RedOf(b))) << 16 |
        TColor32(over(0x51, GreenOf(b))) << 8 | TColor32(over(0x51, BlueOf(b)));
    EXPECT_EQ(Image().Pixel(220, 220), expected);
}

TEST_F(ToolLayersTest, BlurNeedsMoreThanFivePixelsBothWaysAndBlursCommittedStrokes) {
    FForm.AddTool(ctRectGaus);
    Drag(mbLeft, {{120, 120}, {125, 160}});
    EXPECT_EQ(Image(), FScreen); // 5 x 40 is copied as it is

    FForm.AddTool(ctFillRect);
    Drag(mbLeft, {{200, 200}, {230, 230}});
    const TBitmap32 withRect = Image();
    FForm.AddTool(ctRectGaus);
    Drag(mbLeft, {{190, 190}, {240, 240}});
    TBitmap32 expected = withRect.Crop({190, 190, 240, 240});
    BoxBlur(expected, 5);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(Image().Pixel(190 + x, 190 + y), expected.Pixel(x, y) | 0xFF000000u)
                << x << "," << y;
    EXPECT_NE(Image().Pixel(195, 215), withRect.Pixel(195, 215)); // red bled outwards

    FForm.AddTool(ctRectGaus);
    Drag(mbLeft, {{300, 300}, {306, 306}});
    EXPECT_NE(Image().Crop({300, 300, 306, 306}), FScreen.Crop({300, 300, 306, 306}));
}

TEST_F(ToolLayersTest, PenSamplesEvery30MsAndMoreThanFivePixels) {
    FForm.AddTool(ctPen);
    FHost.Ticks = 0xFFFFFFF0u; // the counter wraps during the stroke
    Press(200, 200);
    auto& pen = dynamic_cast<TBasePLToolLayer&>(*FForm.CurTool());
    Move(220, 200);    // too soon
    PenMove(205, 205); // not more than 5 px away
    PenMove(206, 200); // 6 px
    FHost.Ticks += 29;
    Move(230, 230); // 29 ms: too soon
    FHost.Ticks += 1;
    Move(203, 203); // too close, but it restarts the clock
    FHost.Ticks += 29;
    Move(240, 240); // too soon again
    PenMove(250, 250);
    const std::vector<TFloatPoint> expected{{200.5f, 200.5f}, {206.5f, 200.5f}, {250.5f, 250.5f}};
    EXPECT_EQ(pen.Points(), expected);
    Release(300, 300); // the release point is not part of the stroke
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(Image().Pixel(280, 280), FScreen.Pixel(280, 280));
    EXPECT_EQ(Image().Pixel(230, 227), Red);

    // A right or middle press does nothing; a left click commits an
    // unchanged image.
    Drag(mbRight, {{200, 300}, {260, 300}});
    EXPECT_EQ(Steps(), 2);
    Drag(mbLeft, {{200, 300}});
    EXPECT_EQ(Steps(), 3);
    EXPECT_FALSE(FForm.History().AvailRedo());
}

TEST_F(ToolLayersTest, MarkerCrossingItselfHasOneAlphaLevelAndRedrawsMatchAFullFill) {
    Settings.penwidth = 3;
    FForm.AddTool(ctTrPen);
    const TPoint path[] = {{150, 150}, {300, 300}, {300, 150}, {150, 300},
                           {160, 140}, {225, 120}, {225, 330}};
    Press(path[0].X, path[0].Y);
    for (std::size_t i = 1; i < std::size(path); ++i)
        PenMove(path[i].X, path[i].Y);
    const TBitmap32& draw = FForm.DrawLayer().Bitmap();

    // Redrawing only the newest segment gives the pixels of one whole fill.
    TBitmap32 whole(draw.Width(), draw.Height(), DrawImageEmpty);
    std::vector<TFloatPoint> points;
    for (const TPoint p : path)
        points.push_back(PixelCentre(p.X, p.Y));
    TStroker{15, esRound, jsRound}.Draw(whole, points, 0xAFFF0000);
    ASSERT_EQ(draw, whole);

    std::set<TColor32> full;
    std::uint8_t maxAlpha = 0;
    for (int y = 100; y < 350; ++y)
        for (int x = 100; x < 350; ++x)
            maxAlpha = std::max(maxAlpha, AlphaOf(draw.Pixel(x, y)));
    for (int y = 100; y < 350; ++y)
        for (int x = 100; x < 350; ++x)
            if (AlphaOf(draw.Pixel(x, y)) == maxAlpha) full.insert(draw.Pixel(x, y));
    EXPECT_EQ(full.size(), 1u);
    EXPECT_EQ(draw.Pixel(225, 225), *full.begin()); // where four passes cross

    // The commit blends the stroke over the screen once, overlapping
    // redraw areas included, and undo gives the screen back exactly.
    TBitmap32 expected = FScreen;
    expected.DrawBlend(0, 0, whole);
    TBitmap32 shownBefore, shownAfter;
    FForm.View().PaintTo(shownBefore);
    Release(path[6].X, path[6].Y);
    EXPECT_EQ(Image(), expected);
    // The committed stroke left the draw image, so a full repaint shows
    // what the screen showed while drawing: nothing lost, nothing doubled.
    FForm.View().PaintTo(shownAfter);
    EXPECT_EQ(shownAfter, shownBefore);
    FForm.Undo();
    EXPECT_EQ(Image(), FScreen);
    FForm.Redo();
    EXPECT_EQ(Image(), expected);
}

TEST_F(ToolLayersTest, StampNumbersFollowUndoRedoAndOtherTools) {
    EXPECT_EQ(StampNumber, 1);
    FForm.AddTool(ctStamp);
    Press(150, 150);
    Release(150, 150);
    // The disc in the pen colour, the number in white at its centre.
    EXPECT_EQ(Image().Pixel(133, 150), Red);
    EXPECT_EQ(Image().Pixel(166, 150), Red);
    EXPECT_EQ(Image().Pixel(172, 150), FScreen.Pixel(172, 150));
    EXPECT_EQ(Image().Pixel(150, 150), 0xFFFFFFFFu);
    Press(200, 150, mbRight);
    Release(200, 150, mbRight);
    Press(250, 150);
    Release(250, 150);
    EXPECT_EQ(StampNumber, 4);
    EXPECT_EQ(Steps(), 4);
    FForm.Undo();
    FForm.Undo();
    EXPECT_EQ(StampNumber, 2);
    FForm.Redo();
    EXPECT_EQ(StampNumber, 3);

    // A line after them, undone, leaves the number; a new stamp drops the
    // redo steps.
    FForm.AddTool(ctLine);
    Drag(mbLeft, {{150, 300}, {300, 300}});
    FForm.Undo();
    EXPECT_EQ(StampNumber, 3);
    FForm.AddTool(ctStamp);
    Press(300, 200);
    Release(300, 200);
    EXPECT_EQ(StampNumber, 4);
    EXPECT_FALSE(FForm.History().AvailRedo());
}

TEST_F(ToolLayersTest, StrokesPastTheSelectionAreCommittedWhole) {
    FForm.AddTool(ctLine);
    Drag(mbLeft, {{300, 200}, {600, 200}, {700, 200}});
    EXPECT_EQ(Image().Pixel(650, 200), Red);
}

TEST_F(ToolLayersTest, AHandleTakesTheMouseFromTheToolAndTheToolFollowsTheResize) {
    TBaseToolLayer* tool = FForm.CurTool();
    Hover(300, 300);
    EXPECT_TRUE(tool->MouseEvents());
    Hover(498, 250); // the right edge handle, inside the tool's area
    EXPECT_FALSE(tool->MouseEvents());
    Drag(mbLeft, {{498, 250}, {550, 250}, {598, 250}});
    EXPECT_EQ(FForm.Selection().Location(), (TFloatRect{100, 100, 598, 400}));
    EXPECT_EQ(FForm.CurTool()->Location(), (TRect{100, 100, 598, 400}));
    EXPECT_EQ(Steps(), 1);
    Hover(300, 300);
    EXPECT_TRUE(tool->MouseEvents());
}

TEST_F(ToolLayersTest, ADragRepaintsOnlyTheOldAndNewShape) {
    FForm.AddTool(ctLine);
    Press(200, 200);
    Move(260, 200);
    FForm.View().ComposeDirty();
    Move(260, 230);
    int area = 0;
    for (const TRect& r : FForm.View().DirtyRects())
        area += r.Width() * r.Height();
    EXPECT_GT(area, 0);
    EXPECT_LT(area, 70 * 45);
}

TEST_F(ToolLayersTest, ALongDiagonalDragRepaintsBandsAndLeavesOnlyTheNewLine) {
    FForm.AddTool(ctLine);
    Settings.penwidth = 3;
    Press(110, 110);
    Move(480, 300);
    FForm.View().ComposeDirty();
    Move(490, 390);
    std::int64_t area = 0;
    for (const TRect& r : FForm.View().DirtyRects())
        area += TDirtyRegion::Area(r);
    // The two lines' bounding boxes cover about 380 x 280 px.
    EXPECT_GT(area, 0);
    EXPECT_LT(area, 380 * 280 / 3);
    // Clearing the old bands left nothing of the first line behind.
    TBitmap32 fresh(FForm.DrawLayer().Bitmap().Width(), FForm.DrawLayer().Bitmap().Height(),
                    DrawImageEmpty);
    const TFloatPoint line[] = {{110.5f, 110.5f}, {490.5f, 390.5f}};
    TStroker{3, esButt, jsBevel}.Draw(fresh, line, Settings.pencolor);
    EXPECT_TRUE(FForm.DrawLayer().Bitmap() == fresh);
}

TEST_F(ToolLayersTest, SwitchingOrClosingDropsAnUncommittedStroke) {
    FForm.AddTool(ctLine);
    Press(200, 200);
    Move(300, 300);
    FForm.AddTool(ctRect);
    EXPECT_EQ(FForm.DrawLayer().Bitmap().Pixel(250, 250), DrawImageEmpty);
    EXPECT_EQ(Steps(), 1);
    FForm.TestClose();
    EXPECT_EQ(FForm.CurTool(), nullptr);
    EXPECT_EQ(FForm.CurTypeTool(), ctNone);
}

TEST_F(ToolLayersTest, SetPropertyToolResolvesSystemColoursAndKeepsTheWidthWhenNegative) {
    FForm.SetPropertyTool(0x00336699, -1);
    EXPECT_EQ(Settings.pencolor, 0xFF996633u);
    EXPECT_EQ(Settings.wincolor, 0x00336699);
    EXPECT_EQ(Settings.penwidth, 5);
    FForm.SetPropertyTool(-16777211, 8); // the window colour
    EXPECT_EQ(Settings.pencolor, 0xFFCCDDEEu);
    EXPECT_EQ(Settings.wincolor, -16777211);
    EXPECT_EQ(Settings.penwidth, 8);
}
} // namespace
