#include "output/BHintUnit.h"
#include "output/LoadFormUnit.h"
#include "output/PlaceBottomRight.h"
#include "unit/fakes/FakeFormHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

namespace {
struct TNotification {
    TFakeTextRasterizer Text;
    TBHintForm Form{Text};
    TFakeFormHost Host{Form, {0, 0, 1280, 760}};
    TNotification() { BHintForm = &Form; }
    ~TNotification() { BHintForm = nullptr; }
};
} // namespace

// Times in ms: shows, close-button presses, and when the window is seen.
TEST(Notification, EveryMessageStaysItsFullTime) {
    struct TEvent {
        unsigned At;
        enum { Show, CloseButton, Check } Kind;
        bool Visible; // for Check
    };
    struct TCase {
        const char* Name;
        std::vector<TEvent> Events;
    } cases[] = {
        {"second message 3 s later stays 8 s after it",
         {{0, TEvent::Show, false},
          {3000, TEvent::Show, false},
          {3000, TEvent::Check, true},
          {8000, TEvent::Check, true},
          {10999, TEvent::Check, true},
          {11000, TEvent::Check, false}}},
        {"closed by the button, the next one stays 8 s",
         {{0, TEvent::Show, false},
          {2000, TEvent::CloseButton, false},
          {2000, TEvent::Check, false},
          {3000, TEvent::Show, false},
          {8000, TEvent::Check, true},
          {10999, TEvent::Check, true},
          {11000, TEvent::Check, false}}},
        {"after the timer fired a message stays the full 8 s",
         {{0, TEvent::Show, false},
          {8000, TEvent::Check, false},
          {9000, TEvent::Show, false},
          {16999, TEvent::Check, true},
          {17000, TEvent::Check, false},
          {30000, TEvent::Check, false}}},
    };
    for (const TCase& c : cases) {
        TNotification n;
        int shown = 0;
        for (const TEvent& e : c.Events) {
            n.Host.Advance(e.At - n.Host.Now);
            if (e.Kind == TEvent::Show)
                ShowNotification(L"message " + std::to_wstring(++shown));
            else if (e.Kind == TEvent::CloseButton)
                n.Form.ImageButton1.Click();
            else
                EXPECT_EQ(n.Host.Visible, e.Visible) << c.Name << " at " << e.At;
        }
    }
}

TEST(Notification, ShowsTheMessageAtTheBottomRightOnTop) {
    TNotification n;
    ShowNotification(L"Скопировано");
    EXPECT_EQ(n.Form.lbText.Caption(), L"Скопировано");
    EXPECT_EQ(n.Form.lbCaption.Caption(), L"Kadrix");
    EXPECT_EQ(n.Host.Placed, (TRect{1280 - 399 - 10, 760 - 104 - 10, 1280 - 10, 760 - 10}));
    EXPECT_EQ(n.Host.FrontCount, 1);
    // A long message wraps inside 310 px and is cut at 55 px.
    ShowNotification(std::wstring(200, L'x') + L" " + std::wstring(10, L'y'));
    n.Form.PaintDirty();
    const TRect text = n.Form.lbText.BoundsRect();
    for (int x = 0; x < n.Form.ClientWidth(); ++x)
        EXPECT_EQ(n.Form.Buffer().Pixel(x, text.Bottom), Color32FromColor(TBHintForm::FormColor))
            << x;
}

TEST(PlaceBottomRight, StaysInsideTheWorkAreaWhereverTheTaskbarIs) {
    struct TCase {
        TRect WorkArea;
        TPoint Expected;
    } cases[] = {
        {{0, 0, 1920, 1040}, {1920 - 399 - 10, 1040 - 104 - 10}},   // taskbar at the bottom
        {{0, 0, 1860, 1080}, {1860 - 399 - 10, 1080 - 104 - 10}},   // at the right
        {{60, 40, 1920, 1080}, {1920 - 399 - 10, 1080 - 104 - 10}}, // left or top
    };
    for (const TCase& c : cases)
        EXPECT_EQ(BottomRightPosition(c.WorkArea, 399, 104), c.Expected);
}

TEST(ProgressWindow, BarPixelsAtZeroThirtySevenAndHundredPercent) {
    TFakeTextRasterizer text;
    TLoadForm form(text);
    TFakeFormHost host(form);
    const TColor32 outline = Color32(74, 110, 161), track = Color32(31, 51, 80),
                   fill = Color32(28, 194, 241), back = Color32(9, 26, 50);
    auto bar = [&] { return form.Image321.Picture().Bitmap; };
    form.Show();
    form.SetPosition(0);
    EXPECT_EQ(bar().Pixel(180, 6), track);
    EXPECT_EQ(bar().Pixel(180, 0), outline);
    EXPECT_EQ(bar().Pixel(180, 11), outline);
    EXPECT_EQ(bar().Pixel(0, 0), back); // outside the rounded corner
    EXPECT_EQ(bar().Pixel(6, 6), track);
    EXPECT_TRUE(host.Visible);
    form.SetPosition(37); // round(37 * 359 / 100) = 133 px
    EXPECT_EQ(bar().Pixel(60, 6), fill);
    EXPECT_EQ(bar().Pixel(127, 6), fill);
    EXPECT_EQ(bar().Pixel(139, 6), track);
    EXPECT_EQ(bar().Pixel(200, 0), outline);
    form.SetPosition(100);
    EXPECT_FALSE(host.Visible);
    EXPECT_EQ(bar().Pixel(350, 6), fill);
    EXPECT_EQ(bar().Pixel(180, 0), fill);
    EXPECT_EQ(form.Position(), 100);
    // The painted window shows the bar at its place.
    form.PaintDirty();
    EXPECT_EQ(form.Buffer().Pixel(17 + 180, 56 + 6), fill);
}
