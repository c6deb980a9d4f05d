#include "widgets/OrvikComboBox.h"
#include "unit/fakes/FakeFormHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

namespace {
struct TComboForm {
    TFakeTextRasterizer Text;
    TForm Form{Text, 300, 100};
    TOrvikComboBox Combo{Form};
    TComboForm() { Combo.SetBounds(10, 20, 100, 30); }
};

std::vector<std::wstring> Sizes() {
    std::vector<std::wstring> s;
    for (int i = 8; i <= 20; ++i)
        s.push_back(std::to_wstring(i));
    return s;
}
} // namespace

TEST(OrvikComboBox, LayoutFollowsTheSize) {
    TComboForm f;
    TFakeFormHost host(f.Form);
    // w 100, h 30, frame 2: arrow side 26 at w - h + b.
    EXPECT_EQ(f.Combo.ArrowButton().BoundsRect(), (TRect{10 + 72, 22, 10 + 98, 48}));
    EXPECT_EQ(f.Combo.TextLabel().BoundsRect(), (TRect{15, 21, 15 + 72, 49}));
    EXPECT_EQ(f.Combo.FrameShape().BoundsRect(), f.Combo.BoundsRect());
    ASSERT_TRUE(host.LastList);
    EXPECT_EQ(host.LastList->Bounds, (TRect{10, 22, 210, 48})); // twice as wide
    EXPECT_EQ(host.LastList->ItemHeight, 24);
    f.Combo.SetBounds(0, 0, 60, 20);
    EXPECT_EQ(f.Combo.ArrowButton().BoundsRect(), (TRect{42, 2, 58, 18}));
    EXPECT_EQ(host.LastList->Bounds, (TRect{0, 2, 120, 18}));
}

TEST(OrvikComboBox, ItemIndexShowsTheTextWithoutNotifying) {
    TComboForm f;
    TFakeFormHost host(f.Form);
    int clicks = 0;
    f.Combo.OnClick = [&](TGraphicControl&) { ++clicks; };
    f.Combo.SetItems(Sizes());
    EXPECT_EQ(host.LastList->Items.size(), 13u);
    f.Combo.SetItemIndex(2);
    EXPECT_EQ(f.Combo.TextLabel().Caption(), L"10");
    EXPECT_EQ(host.LastList->Index, 2);
    f.Combo.SetItemIndex(-1);
    EXPECT_EQ(f.Combo.TextLabel().Caption(), L"");
    f.Combo.SetItemIndex(13); // out of range selects nothing
    EXPECT_EQ(f.Combo.ItemIndex(), -1);
    EXPECT_EQ(clicks, 0);
}

TEST(OrvikComboBox, UserSelectionUpdatesTheLabelBeforeOnClick) {
    TComboForm f;
    TFakeFormHost host(f.Form);
    f.Combo.SetItems({L"PNG", L"JPG"});
    std::wstring seen;
    f.Combo.OnClick = [&](TGraphicControl&) {
        seen = f.Combo.Items()[f.Combo.ItemIndex()] + L"/" + f.Combo.TextLabel().Caption();
    };
    // A click on the arrow or on the text opens the system list.
    f.Form.MouseDown(MouseAt(95, 35, ssLeft));
    f.Form.MouseUp(MouseAt(95, 35));
    EXPECT_TRUE(host.LastList->Dropped);
    f.Combo.ListSelChange(1);
    EXPECT_EQ(seen, L"JPG/JPG");
}

TEST(OrvikComboBox, ArrowPicturesArriveOnLoadImgOrTheFirstDrawnItem) {
    for (const bool byDraw : {false, true}) {
        TComboForm f;
        f.Combo.SetItems({L"a"});
        f.Combo.SetNormalImage(TPicture(TBitmap32(8, 8, 0xFF00FF00)));
        f.Combo.SetMoveImage(TPicture(TBitmap32(8, 8, 0xFFFF0000)));
        EXPECT_FALSE(f.Combo.ArrowButton().NormalImage().HasGraphic());
        TBitmap32 item(200, 24);
        if (byDraw)
            f.Combo.DrawItem(item, item.BoundsRect(), 0, true);
        else
            f.Combo.LoadImg();
        EXPECT_TRUE(f.Combo.ArrowButton().NormalImage().HasGraphic());
        EXPECT_TRUE(f.Combo.ArrowButton().MoveImage().HasGraphic());
        // Later pictures go straight to the button.
        f.Combo.SetDownImage(TPicture(TBitmap32(8, 8, 0xFF0000FF)));
        EXPECT_TRUE(f.Combo.ArrowButton().DownImage().HasGraphic());
    }
}

TEST(OrvikComboBox, ItemsAreDrawnInTheFontOnTheirStateColour) {
    TComboForm f;
    f.Combo.SetItems({L"A"});
    f.Combo.SetFont(TFont(L"Test", 8, 0, 0xFFFFFF)); // glyph 5 x 12
    TBitmap32 item(200, 24);
    f.Combo.DrawItem(item, item.BoundsRect(), 0, true);
    EXPECT_EQ(item.Pixel(0, 0), Color32FromColor(0x7E4B27)); // highlight = frame colour
    EXPECT_EQ(item.Pixel(5, 6), 0xFFFFFFFFu);                // text 5 px in, centred
    EXPECT_EQ(item.Pixel(4, 6), Color32FromColor(0x7E4B27));
    f.Combo.DrawItem(item, item.BoundsRect(), 0, false);
    EXPECT_EQ(item.Pixel(0, 0), Color32FromColor(0x321A09));
}
