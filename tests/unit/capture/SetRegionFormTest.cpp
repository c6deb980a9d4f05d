#include "capture/SetRegionForm.h"
#include "annotate/StampNumber.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/FakeSetRegionHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

namespace {
class TRecordingPanels : public TOverlayPanels {
public:
    void StartEditor() override { ++Editor; }
    void PerformUpload() override { ++Upload; }
    void PerformCopy() override { ++Copy; }
    int Editor = 0, Upload = 0, Copy = 0;
};

class SetRegionFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = Settings;
        Settings = TSettings{};
        FForm.SetPanels(&FPanels);
    }
    void TearDown() override { Settings = FSaved; }

    TViewMouse At(int x, int y, TMouseButton b = mbLeft, TShiftState s = {}) {
        return {x, y, b, s};
    }
    void Press(int x, int y) { FForm.View().MouseDown(At(x, y, mbLeft, ssLeft)); }
    void Move(int x, int y) { FForm.View().MouseMove(At(x, y, mbLeft, ssLeft)); }
    void Release(int x, int y, TShiftState s = {}) { FForm.View().MouseUp(At(x, y, mbLeft, s)); }
    TFloatRect Selection() const { return FForm.Selection().Location(); }

    TSettings FSaved;
    TFakeSetRegionHost FHost;
    TFakeTextRasterizer FText;
    TRecordingPanels FPanels;
    TSetRegionForm FForm{FHost, FText};
};

TEST_F(SetRegionFormTest, DragCreatesANormalisedSelectionAndShowsTheEditor) {
    FForm.StartSelectRegion(0);
    ASSERT_TRUE(FHost.Showing);
    Press(100, 100);
    Move(70, 120);
    Move(40, 150);
    Release(40, 150);
    EXPECT_EQ(Selection(), (TFloatRect{40, 100, 100, 150}));
    EXPECT_EQ(FForm.Selection().SelectState, ssEnd);
    EXPECT_EQ(FPanels.Editor, 1);
}

TEST_F(SetRegionFormTest, StartPointCrossedInOneStepIsLost) {
    FForm.StartSelectRegion(0);
    Press(100, 100);
    Move(104, 104);
    Move(95, 95);
    Release(95, 95);
    EXPECT_EQ(Selection(), (TFloatRect{95, 95, 104, 104}));
}

TEST_F(SetRegionFormTest, LongDiagonalDragInCoarseSteps) {
    FForm.StartSelectRegion(0);
    Press(200, 150);
    for (int i = 1; i <= 10; ++i)
        Move(200 + 40 * i, 150 + 30 * i);
    Release(600, 450);
    EXPECT_EQ(Selection(), (TFloatRect{200, 150, 600, 450}));
}

TEST_F(SetRegionFormTest, TinyDragIsDiscardedAndANewDragWorks) {
    FForm.StartSelectRegion(0);
    Press(10, 10);
    Move(12, 30);
    Release(12, 30);
    EXPECT_FALSE(FForm.Selection().VisibleRect());
    EXPECT_EQ(FPanels.Editor, 0);
    Press(50, 50);
    Move(80, 90);
    Release(80, 90);
    EXPECT_TRUE(FForm.Selection().VisibleRect());
    EXPECT_EQ(Selection(), (TFloatRect{50, 50, 80, 90}));
}

TEST_F(SetRegionFormTest, EditorOffUploadsOrCopiesAndCtrlForcesTheEditor) {
    Settings.ShowRedact = false;
    Settings.Server = false;
    FForm.StartSelectRegion(0);
    Press(10, 10);
    Move(20, 20);
    Release(20, 20);
    EXPECT_EQ(FPanels.Copy, 1);
    FForm.Close();

    Settings.Server = true;
    FForm.StartSelectRegion(0);
    Press(10, 10);
    Move(20, 20);
    Release(20, 20);
    EXPECT_EQ(FPanels.Upload, 1);
    FForm.Close();

    FForm.StartSelectRegion(0);
    Press(10, 10);
    Move(20, 20);
    Release(20, 20, ssCtrl);
    EXPECT_EQ(FPanels.Editor, 1);
}

TEST_F(SetRegionFormTest, SecondRequestDuringACaptureChangesNothingNotEvenTheStampNumber) {
    StampNumber = 4;
    FForm.StartSelectRegion(0);
    EXPECT_EQ(StampNumber, 1); // a capture that starts numbers from 1
    Press(10, 10);
    Move(200, 100);
    Release(200, 100);
    const TFloatRect before = Selection();
    StampNumber = 7;
    FForm.StartSelectRegion(2);
    EXPECT_EQ(StampNumber, 7);
    EXPECT_EQ(FHost.GrabCount, 1);
    EXPECT_EQ(Selection(), before);
}

TEST_F(SetRegionFormTest, HintStartsAtThePointerOfTheCaptureStart) {
    for (const TPoint p : {TPoint{300, 200}, TPoint{120, 40}}) {
        FHost.Cursor = p;
        FForm.StartSelectRegion(0);
        FForm.View().ComposeDirty();
        const TRect box = FForm.Selection().HintBox(p.X, p.Y);
        EXPECT_EQ(FForm.View().Buffer().Pixel(box.Left + 1, box.Top + 1), 0xFFFFFFFFu);
        FForm.Close();
    }
}

TEST_F(SetRegionFormTest, WithAToolTheCursorReturnsToTheViewsOffTheFrame) {
    FForm.StartSelectRegion(0);
    Press(100, 100);
    Move(300, 200);
    Release(300, 200);
    ASSERT_EQ(FForm.CurTypeTool(), ctArrow);
    FForm.View().MouseMove(At(299, 150, mbLeft, {}));
    EXPECT_EQ(FHost.AppCursor, crSizeWE);
    FForm.View().MouseMove(At(200, 150, mbLeft, {}));
    EXPECT_EQ(FHost.AppCursor, crDefault);
}

TEST_F(SetRegionFormTest, HotKeyEditorFocusBlocksTheRequestEntirely) {
    FHost.EditorFocused = true;
    StampNumber = 5;
    FForm.StartSelectRegion(0);
    EXPECT_FALSE(FHost.Showing);
    EXPECT_EQ(StampNumber, 5);
}

TEST_F(SetRegionFormTest, WorkAreaSpansAMonitorLeftOfThePrimary) {
    FHost.Monitors = {{0, 0, 800, 600}, {-1920, 0, 0, 1080}};
    FForm.StartSelectRegion(0);
    EXPECT_EQ(FForm.WorkArea(), (TRect{-1920, 0, 800, 1080}));
    EXPECT_EQ(FHost.ShownAt, FForm.WorkArea());
    // Image x = 0 is screen x = -1920.
    EXPECT_EQ(FForm.View().Bitmap().Pixel(0, 0), TFakeSetRegionHost::ScreenPixel(-1920, 0));
}

TEST_F(SetRegionFormTest, WindowAndAllScreensKindsPresetTheSelection) {
    FHost.Foreground = TRect{-50, 100, 300, 250};
    FForm.StartSelectRegion(1);
    EXPECT_EQ(Selection(), (TFloatRect{0, 100, 300, 250}));
    EXPECT_EQ(FForm.Selection().SelectState, ssEnd);
    FForm.Close();

    FForm.StartSelectRegion(2);
    EXPECT_EQ(Selection(), (TFloatRect{0, 0, 800, 600}));
    FForm.Close();

    // A window parked off-screen, or none at all: no overlay.
    FHost.Foreground = TRect{-32000, -32000, -31840, -31970};
    FForm.StartSelectRegion(1);
    EXPECT_FALSE(FHost.Showing);
    FHost.Foreground.reset();
    FForm.StartSelectRegion(1);
    EXPECT_FALSE(FHost.Showing);
}

TEST_F(SetRegionFormTest, GetBitmapCutsTheSelectionOutOfTheWorkingImage) {
    FForm.StartSelectRegion(0);
    Press(10, 20);
    Move(110, 70);
    Release(110, 70);
    const TBitmap32 b = FForm.GetBitmap();
    ASSERT_EQ(b.Width(), 100);
    ASSERT_EQ(b.Height(), 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(b.Pixel(x, y), TFakeSetRegionHost::ScreenPixel(x + 10, y + 20));
}

TEST_F(SetRegionFormTest, GetBitmapOfAHalfPixelSelectionIsFullyInside) {
    FForm.StartSelectRegion(0);
    Press(10, 20);
    Move(110, 70);
    Release(110, 70);
    // Corners 11.5 -> 12 and 21 (ties to even): 9 px wide, though the
    // width alone, 9.5, would round to 10.
    FForm.Selection().SetLocation({11.5f, 20.5f, 21.0f, 30.5f});
    const TBitmap32 b = FForm.GetBitmap();
    ASSERT_EQ(b.Width(), 9);
    ASSERT_EQ(b.Height(), 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(b.Pixel(x, y), TFakeSetRegionHost::ScreenPixel(x + 12, y + 20));
}

TEST_F(SetRegionFormTest, EdgeDragIsClampedToTheImageWithAFivePixelMinimum) {
    FForm.StartSelectRegion(0);
    Press(100, 100);
    Move(300, 200);
    Release(300, 200);
    FForm.AddTool(ctNone); // with a tool, the inside belongs to the tool
    // Move the whole selection against the left border: it shrinks.
    FForm.View().MouseDown(At(150, 150, mbLeft, ssLeft));
    FForm.View().MouseMove(At(0, 150, mbLeft, ssLeft));
    FForm.View().MouseUp(At(0, 150));
    EXPECT_EQ(Selection(), (TFloatRect{0, 100, 150, 200}));
    // Dragging the right edge onto the left one keeps 5 pixels.
    FForm.View().MouseDown(At(149, 150, mbLeft, ssLeft));
    FForm.View().MouseMove(At(0, 150, mbLeft, ssLeft));
    FForm.View().MouseUp(At(0, 150));
    EXPECT_EQ(Selection(), (TFloatRect{0, 100, 5, 200}));
}

TEST_F(SetRegionFormTest, CloseHidesAndTheNextCaptureStartsClean) {
    FForm.StartSelectRegion(0);
    Press(10, 10);
    Move(50, 50);
    Release(50, 50);
    FForm.TestClose();
    EXPECT_FALSE(FHost.Showing);
    EXPECT_FALSE(FForm.Selection().VisibleRect());
    EXPECT_EQ(FForm.Selection().SelectState, ssNoVis);
    FForm.StartSelectRegion(0);
    EXPECT_TRUE(FHost.Showing);
    EXPECT_EQ(FHost.GrabCount, 2);
}
} // namespace

namespace {
TEST_F(SetRegionFormTest, HistoryStartsWithTheGrabAndIsClearedOnClose) {
    FForm.StartSelectRegion(0);
    EXPECT_EQ(FForm.History().Count(), 1);
    const TBitmap32 grabbed = FForm.View().Bitmap();
    FForm.Undo(); // nothing before the grab
    EXPECT_EQ(FForm.View().Bitmap(), grabbed);
    FForm.Close();
    EXPECT_EQ(FForm.History().Count(), 0);
}
} // namespace

namespace {
TEST_F(SetRegionFormTest, ARequestThatShowsNothingLeavesNoStepForTheNextCapture) {
    FHost.Foreground.reset();
    FForm.StartSelectRegion(1); // no foreground window: nothing shown
    EXPECT_FALSE(FHost.Showing);
    EXPECT_EQ(FForm.History().Count(), 0);
    FForm.StartSelectRegion(0);
    EXPECT_EQ(FForm.History().Count(), 1);
    EXPECT_FALSE(FForm.History().AvailUndo());
}
} // namespace

namespace {
class TRecordingPlayer : public TSoundPlayer {
public:
    void PlayFile(const std::wstring& path) override { Played.push_back(path); }
    std::vector<std::wstring> Played;
};

TEST_F(SetRegionFormTest, GetBitmapPlaysTheShutterOncePerCallUnlessSwitchedOff) {
    TRecordingPlayer player;
    FForm.SetSoundPlayer(&player, L"C:\\Kadrix\\screenshoot.wav");
    FForm.StartSelectRegion(2);
    FForm.GetBitmap();
    FForm.GetBitmap();
    EXPECT_EQ(player.Played, (std::vector<std::wstring>(2, L"C:\\Kadrix\\screenshoot.wav")));
    Settings.playsound = false;
    FForm.GetBitmap();
    EXPECT_EQ(player.Played.size(), 2u);
    // Without a player the picture still comes out.
    FForm.SetSoundPlayer(nullptr, L"");
    Settings.playsound = true;
    EXPECT_EQ(FForm.GetBitmap().Width(), 800);
}

TEST_F(SetRegionFormTest, SizeLabelSitsAboveTheTopLeftCorner) {
    const TRect sel{100, 100, 300, 200};
    auto& layer = FForm.Selection();
    EXPECT_EQ(layer.SizeLabelText(sel), L"200x100");
    const TTextExtent e = FText.TextExtent(DefaultDialogFont(), L"200x100");
    EXPECT_EQ(layer.SizeLabelBox(sel), (TRect{100, 88 - e.Height, 100 + e.Width + 10, 93}));
}

TEST_F(SetRegionFormTest, OutsideTheSelectionIsDimmedByTheBlendRuleAndInsideIsNot) {
    FHost.Cursor = {-100, -100}; // hint box off the image
    FForm.StartSelectRegion(0);
    Press(100, 100);
    Move(300, 200);
    Release(300, 200);
    FForm.View().ComposeDirty();
    const TBitmap32& shown = FForm.View().Buffer();
    auto dim = [](TColor32 b) {
        TColor32 out = 0; // the screen shows colour only
        for (int sh = 0; sh <= 16; sh += 8) {
            const int fc = (DimColor >> sh) & 255, bc = (b >> sh) & 255;
            out |= TColor32((256 * bc + 128 + (fc - bc) * 102) / 256) << sh;
        }
        return out;
    };
    auto rgb = [&](int x, int y) { return shown.Pixel(x, y) & 0xFFFFFFu; };
    EXPECT_EQ(rgb(50, 50), dim(TFakeSetRegionHost::ScreenPixel(50, 50)));
    EXPECT_EQ(rgb(500, 400), dim(TFakeSetRegionHost::ScreenPixel(500, 400)));
    EXPECT_EQ(rgb(200, 150), TFakeSetRegionHost::ScreenPixel(200, 150) & 0xFFFFFFu);
    // Stipple along the top edge: four white, four black from the corner.
    EXPECT_EQ(rgb(116, 100), 0xFFFFFFu);
    EXPECT_EQ(rgb(120, 100), 0x000000u);
}
TEST_F(SetRegionFormTest, FramePaintedInTilesEqualsOnePaint) {
    FHost.Cursor = {-100, -100};
    FForm.StartSelectRegion(0);
    Press(101, 99);
    Move(342, 263);
    Release(342, 263);
    auto& layer = FForm.Selection();
    const TRect all{0, 0, 500, 400};
    TBitmap32 whole(500, 400), tiled(500, 400);
    layer.Paint(whole, all);
    // Odd tile sizes so that tile edges fall mid-dash on every side.
    for (int y = 0; y < 400; y += 23)
        for (int x = 0; x < 500; x += 37)
            layer.Paint(tiled, TRect{x, y, x + 37, y + 23}.Intersect(all));
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 500; ++x)
            ASSERT_EQ(tiled.Pixel(x, y), whole.Pixel(x, y)) << x << "," << y;
    // The dashes run on clockwise around the corners: 240 px along the top,
    // 163 down the right side, then leftwards along the bottom and up.
    ASSERT_EQ(PaintedSelection(layer.Location()), (TRect{101, 99, 342, 263}));
    EXPECT_EQ(whole.Pixel(200, 262), 0xFFFFFFFFu); // step 544
    EXPECT_EQ(whole.Pixel(201, 262), 0xFF000000u); // step 543
    EXPECT_EQ(whole.Pixel(101, 150), 0xFFFFFFFFu); // step 755
    EXPECT_EQ(whole.Pixel(101, 149), 0xFF000000u); // step 756
}
} // namespace

namespace {
TEST_F(SetRegionFormTest, KeysTheOverlayAndTheProgramTakeAndTheOnesTheyLeave) {
    FForm.StartSelectRegion(0);
    Press(10, 10);
    Move(200, 200);
    Release(200, 200);
    const TBitmap32 grabbed = FForm.View().Bitmap();
    FForm.AddTool(ctRect);
    Press(50, 50);
    Move(150, 150);
    Release(150, 150);
    const TBitmap32 drawn = FForm.View().Bitmap();
    ASSERT_NE(drawn, grabbed);

    // The caret keys, Print Screen and Delete never reach a window.
    for (int key : {35, 36, 37, 38, 39, 40, 44, 46})
        EXPECT_TRUE(FForm.AppKeyDown(key)) << key;
    for (int key : {27, 33, 34, 45, int('A'), int('C')})
        EXPECT_FALSE(FForm.AppKeyDown(key)) << key;

    EXPECT_FALSE(FForm.OverlayKeyDown('Z', false));
    EXPECT_FALSE(FForm.OverlayKeyDown('V', true));
    EXPECT_TRUE(FForm.OverlayKeyDown('Z', true));
    EXPECT_EQ(FForm.View().Bitmap(), grabbed);
    EXPECT_TRUE(FForm.OverlayKeyDown('Y', true));
    EXPECT_EQ(FForm.View().Bitmap(), drawn);
    EXPECT_FALSE(FForm.OverlayKeyDown('C', false));
    EXPECT_EQ(FPanels.Copy, 0);
    EXPECT_TRUE(FForm.OverlayKeyDown('C', true));
    EXPECT_EQ(FPanels.Copy, 1);
    EXPECT_TRUE(FForm.OverlayKeyDown(27, false));
    EXPECT_FALSE(FHost.Showing);
}
} // namespace
