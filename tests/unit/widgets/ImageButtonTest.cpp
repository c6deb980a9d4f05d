#include "unit/fakes/FakeFormHost.h"
#include "unit/fakes/FakeTextRasterizer.h"
#include "widgets/ImageButton2.h"

#include <gtest/gtest.h>

namespace {
constexpr TColor32 Normal = 0xFF0000FF, Down = 0xFF00FF00, Move = 0xFFFF0000, Disabled = 0xFF808080,
                   Normal2 = 0xFF00FFFF, Down2 = 0xFFFFFF00, Move2 = 0xFFFF00FF,
                   Disabled2 = 0xFF404040, Back = 0xFF102030;

TPicture Solid(TColor32 c, int w = 8, int h = 8) {
    return TPicture(TBitmap32(w, h, c));
}

struct TButtonForm {
    TFakeTextRasterizer Text;
    TForm Form{Text, 100, 60};
    TImageButton2 Button{Form};
    TButtonForm() {
        Form.Color = 0; // black
        Button.SetBounds(10, 10, 40, 20);
    }
    TColor32 PixelAt(int x, int y) {
        Form.PaintDirty();
        return Form.Buffer().Pixel(x, y);
    }
    TColor32 Centre() { return PixelAt(30, 20); }
};
} // namespace

TEST(ImageButton, PictureFollowsTheStateFlags) {
    struct TCase {
        bool Enabled, LatchedDown, Hover, Press, HasDisabled, HasSecondSet;
        TColor32 Expected;
    } cases[] = {
        {true, false, false, false, true, true, Normal},
        {true, false, true, false, true, true, Move},
        {true, false, true, true, true, true, Down},
        {false, false, true, true, true, true, Disabled},
        {false, false, true, true, false, true, Normal}, // never hover or pressed when disabled
        {true, true, false, false, true, true, Normal2},
        {true, true, true, false, true, true, Move2},
        {true, true, true, true, true, true, Down2},
        {false, true, true, true, true, true, Disabled2},
        {false, true, true, true, false, true, Normal2},
        {true, true, true, true, true, false, 0xFF000000}, // no second set: background only
    };
    for (const TCase& c : cases) {
        TButtonForm f;
        TImageButton& b = f.Button;
        b.SetNormalImage(Solid(Normal));
        b.SetDownImage(Solid(Down));
        b.SetMoveImage(Solid(Move));
        if (c.HasDisabled) b.SetDisabledImage(Solid(Disabled));
        if (c.HasSecondSet) {
            b.SetNormalImage2(Solid(Normal2));
            b.SetDownImage2(Solid(Down2));
            b.SetMoveImage2(Solid(Move2));
            if (c.HasDisabled) b.SetDisabledImage2(Solid(Disabled2));
        }
        b.SetDown(c.LatchedDown);
        if (c.Hover) f.Form.MouseMove(MouseAt(30, 20));
        if (c.Press) f.Form.MouseDown(MouseAt(30, 20));
        b.SetEnabled(c.Enabled);
        EXPECT_EQ(f.Centre(), c.Expected)
            << "enabled " << c.Enabled << " down " << c.LatchedDown << " hover " << c.Hover
            << " press " << c.Press << " disabled picture " << c.HasDisabled;
    }
}

TEST(ImageButton, PicturesArePlacedByTheNormalPictureSize) {
    TButtonForm f;
    TImageButton& b = f.Button;
    b.SetNormalImage(Solid(Normal, 20, 10)); // at (10 + 10, 10 + 5)
    b.SetMoveImage(Solid(Move, 4, 4));
    f.Form.MouseMove(MouseAt(45, 25));
    EXPECT_EQ(f.PixelAt(20, 15), Move);
    EXPECT_EQ(f.PixelAt(23, 18), Move);
    EXPECT_EQ(f.PixelAt(24, 15), 0xFF000000u);
    // Right alignment and offsets move every picture alike.
    b.SetAlignImages(taRightJustify);
    b.SetOffsetImageX(-2);
    b.SetOffsetImageY(1);
    b.Invalidate();
    EXPECT_EQ(f.PixelAt(10 + 40 - 20 - 2, 16), Move);
}

TEST(ImageButton, TransparentPicturesShowTheBackgroundThrough) {
    TButtonForm f;
    TBitmap32 icon(8, 8, 0); // fully transparent but one opaque pixel
    icon.SetPixel(4, 4, Normal);
    f.Button.SetBackgroundImage(Solid(Back, 40, 20));
    f.Button.SetNormalImage(TPicture(icon, false));
    EXPECT_TRUE(f.Button.NormalImage().Transparent);
    EXPECT_EQ(f.PixelAt(10 + 16 + 4, 10 + 6 + 4), Normal);
    EXPECT_EQ(f.PixelAt(10 + 16 + 3, 10 + 6 + 4), Back);
}

TEST(ImageButton, CaptionShiftsOnePixelWhenDownAndTwoMoreWhilePressed) {
    TButtonForm f;
    TImageButton& b = f.Button;
    b.Font = TFont(L"Test", 8, 0, 0xFFFFFF); // glyphs 5 x 12, advance 6
    b.SetText(L"AB");
    // Centred: x = 10 + (40 - 12) / 2 = 24, y = 10 + (20 - 12) / 2 = 14.
    EXPECT_EQ(f.PixelAt(24, 14), 0xFFFFFFFFu);
    EXPECT_EQ(f.PixelAt(23, 14), 0xFF000000u);
    b.SetDown(true);
    EXPECT_EQ(f.PixelAt(24, 14), 0xFF000000u);
    EXPECT_EQ(f.PixelAt(25, 15), 0xFFFFFFFFu);
    b.SetOffsetTextWithDown(true);
    f.Form.MouseDown(MouseAt(30, 20));
    EXPECT_EQ(f.PixelAt(26, 16), 0xFF000000u);
    EXPECT_EQ(f.PixelAt(27, 17), 0xFFFFFFFFu);
}

TEST(ImageButton, MultiLineCaptionsAndTheSecondCaption) {
    TButtonForm f;
    TImageButton2& b = f.Button;
    b.Font = TFont(L"Test", 8, 0, 0xFFFFFF);
    b.SetAlignImages(taLeftJustify);
    b.SetText(L"A\rBB");
    EXPECT_TRUE(b.IsMultiTextMode());
    // Two lines of 12 px from y = 10 + (20 - 24) / 2 = 8, clipped to the button.
    EXPECT_EQ(f.PixelAt(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(f.PixelAt(15, 10), 0xFF000000u);
    EXPECT_EQ(f.PixelAt(16, 20), 0xFFFFFFFFu);
    b.SetText2(L"C");
    EXPECT_FALSE(b.IsMultiTextMode()); // the flag follows the caption set last
    b.SetFontText2(TFont(L"Test", 8, 0, 0x0000FF));
    b.SetOffsetText2X(30);
    EXPECT_EQ(f.PixelAt(40, 14), 0xFFFF0000u);
}

TEST(ImageButton, SettingTheSameValueDoesNotRepaint) {
    TButtonForm f;
    f.Button.SetText(L"Save");
    f.Button.SetDown(true);
    f.Form.PaintDirty();
    f.Button.SetText(L"Save");
    f.Button.SetDown(true);
    f.Button.SetOffsetTextX(0);
    EXPECT_TRUE(f.Form.DirtyRects().empty());
    f.Button.SetText(L"Open");
    EXPECT_EQ(f.Form.DirtyRects(), std::vector<TRect>{f.Button.BoundsRect()});
}

// Enter, press, drag out, drag back in, release: a click only inside, and
// only the button's own pixels are repainted.
TEST(ImageButton, MouseSequenceThroughTheForm) {
    TButtonForm f;
    TImageButton& b = f.Button;
    int clicks = 0, ups = 0;
    b.OnClick = [&](TGraphicControl&) {
        ++clicks;
        EXPECT_EQ(ups, 0); // click comes before the release event
    };
    b.OnMouseUp = [&](TGraphicControl&, const TViewMouse&) { ++ups; };
    f.Form.PaintDirty();
    struct TStep {
        enum { Move, Down, Up } Kind;
        int X, Y;
        bool Hover, Pressed;
        int Clicks;
    } steps[] = {
        {TStep::Move, 5, 5, false, false, 0},   {TStep::Move, 20, 15, true, false, 0},
        {TStep::Down, 20, 15, true, true, 0},   {TStep::Move, 70, 15, false, false, 0},
        {TStep::Move, 50, 30, false, true, 0}, // the far edges: pressed, not hovered
        {TStep::Up, 20, 15, true, false, 1},    {TStep::Down, 20, 15, true, true, 1},
        {TStep::Move, 80, 50, false, false, 1}, {TStep::Up, 80, 50, false, false, 1},
    };
    for (const TStep& s : steps) {
        if (s.Kind == TStep::Move)
            f.Form.MouseMove(MouseAt(s.X, s.Y, f.Form.CaptureControl() ? ssLeft : TShiftState{}));
        else if (s.Kind == TStep::Down)
            f.Form.MouseDown(MouseAt(s.X, s.Y, ssLeft));
        else
            f.Form.MouseUp(MouseAt(s.X, s.Y));
        EXPECT_EQ(b.Moving(), s.Hover) << s.X << "," << s.Y;
        EXPECT_EQ(b.Downing(), s.Pressed) << s.X << "," << s.Y;
        EXPECT_EQ(clicks, s.Clicks) << s.X << "," << s.Y;
        for (const TRect& r : f.Form.PaintDirty())
            EXPECT_EQ(r, b.BoundsRect());
    }
}

TEST(ImageButton, DoubleClickGivesClickThenDblClickAndNoSecondClick) {
    TButtonForm f;
    std::string log;
    f.Button.OnClick = [&](TGraphicControl&) { log += "C"; };
    f.Button.OnDblClick = [&](TGraphicControl&) { log += "D"; };
    f.Form.MouseDown(MouseAt(20, 15, ssLeft));
    f.Form.MouseUp(MouseAt(20, 15));
    f.Form.MouseDown(MouseAt(20, 15, ssLeft | ssDouble));
    f.Form.MouseUp(MouseAt(20, 15));
    EXPECT_EQ(log, "CD");
}
