// The working image a capture starts from and the memory it holds: a grab
// whose alpha means nothing, the first frame, the tools' draw image, and
// what is left once the overlay closes.
#include "capture/RubberbandLayerNew.h"
#include "capture/SetRegionForm.h"
#include "gfx/Blend.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/FakeSetRegionHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

namespace {
// A grab as the screen gives it: colours right, alpha zero.
class TAlphaLessHost : public TFakeSetRegionHost {
public:
    TBitmap32 GrabScreen(const TRect& area, bool drawCursor) override {
        TBitmap32 b = TFakeSetRegionHost::GrabScreen(area, drawCursor);
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                b.Row(y)[x] &= 0x00FFFFFFu;
        return b;
    }
};

class CaptureFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = Settings;
        Settings = TSettings{};
    }
    void TearDown() override { Settings = FSaved; }
    void Drag(int x0, int y0, int x1, int y1) {
        TImageView& v = FForm.View();
        v.MouseDown({x0, y0, mbLeft, ssLeft});
        v.MouseMove({(x0 + x1) / 2, (y0 + y1) / 2, mbLeft, ssLeft});
        v.MouseMove({x1, y1, mbLeft, ssLeft});
        v.MouseUp({x1, y1, mbLeft, {}});
    }

    TSettings FSaved;
    TAlphaLessHost FHost;
    TFakeTextRasterizer FText;
    TSetRegionForm FForm{FHost, FText};
};

TEST_F(CaptureFrameTest, TheWorkingImageIsTheOpaqueScreenAndTheFirstFrameItsDimming) {
    FForm.StartSelectRegion(0);
    const TBitmap32& image = FForm.View().Bitmap();
    ASSERT_EQ(image.BoundsRect(), (TRect{0, 0, 800, 600}));
    for (int y = 0; y < 600; y += 37)
        for (int x = 0; x < 800; x += 41)
            ASSERT_EQ(image.Pixel(x, y), TFakeSetRegionHost::ScreenPixel(x, y)) << x << "," << y;
    // Nothing to draw with yet, so nothing for the first frame to blend.
    EXPECT_TRUE(FForm.DrawLayer().Bitmap().Empty());
    EXPECT_TRUE(FForm.DrawLayer().Bounds().IsEmpty());

    FForm.View().ComposeDirty();
    for (const TPoint p : {TPoint{10, 10}, TPoint{400, 300}, TPoint{20, 590}})
        EXPECT_EQ(FForm.View().Buffer().Pixel(p.X, p.Y) & 0xFFFFFF,
                  BlendColor32(DimColor, TFakeSetRegionHost::ScreenPixel(p.X, p.Y)) & 0xFFFFFF);
}

TEST_F(CaptureFrameTest, TheDrawImageComesWithTheEditorAndTheImagesGoWithTheOverlay) {
    FForm.StartSelectRegion(0);
    Drag(100, 100, 300, 250);
    ASSERT_NE(FForm.CurTool(), nullptr);
    EXPECT_EQ(FForm.DrawLayer().Bitmap().BoundsRect(), (TRect{0, 0, 800, 600}));
    EXPECT_EQ(FForm.GetBitmap().Pixel(0, 0), TFakeSetRegionHost::ScreenPixel(100, 100));

    FForm.Close();
    EXPECT_TRUE(FForm.View().Bitmap().Empty());
    EXPECT_TRUE(FForm.DrawLayer().Bitmap().Empty());

    // The next capture starts as fresh as the first.
    FForm.StartSelectRegion(0);
    Drag(50, 60, 90, 100);
    EXPECT_EQ(FForm.GetBitmap().Pixel(1, 1), TFakeSetRegionHost::ScreenPixel(51, 61));
    EXPECT_EQ(FForm.DrawLayer().Bitmap().BoundsRect(), (TRect{0, 0, 800, 600}));
}
} // namespace
