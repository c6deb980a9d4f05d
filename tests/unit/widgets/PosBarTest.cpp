#include "widgets/PosBar.h"
#include "ui/Form.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {
constexpr std::int64_t Lowest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Highest = std::numeric_limits<std::int64_t>::max();

struct TEvent {
    char Kind; // Begin, Moving, End
    TMovingState State;
    std::int64_t Position;
    friend bool operator==(const TEvent&, const TEvent&) = default;
};

class PosBarTest : public ::testing::Test {
protected:
    PosBarTest() { Listen(Bar); }

    void Listen(TPosbar& bar) {
        const auto record = [this](char kind) {
            return [this, kind](TPosbar&, TMovingState s, std::int64_t p) {
                Events.push_back({kind, s, p});
            };
        };
        bar.OnChangePosBegin = record('B');
        bar.OnChangePosMoving = record('M');
        bar.OnChangePosEnd = record('E');
    }
    void Press(int x, int y, TMouseButton b = mbLeft, TShiftState s = ssLeft) {
        Bar.MouseDown({x, y, b, s});
    }
    void Move(int x, int y) { Bar.MouseMove({x, y, mbLeft, ssLeft}); }
    void Release(int x, int y, TMouseButton b = mbLeft) { Bar.MouseUp({x, y, b, {}}); }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }

    TFakeTextRasterizer Text;
    TForm Form{Text, 200, 120};
    TPosbar Bar{Form};
    std::vector<TEvent> Events;
};

TPicture Solid(int w, int h, TColor32 c) {
    return TPicture(TBitmap32(w, h, c));
}

TEST_F(PosBarTest, ClickOnA70PixelTrackTakesTheNearestValueTiesToEven) {
    Bar.SetMin(1);
    Bar.SetMax(8);
    const struct {
        bool Vertical;
        int Thumb;
    } layouts[] = {{false, 0}, {false, 10}, {true, 0}};
    const struct {
        int Offset;
        std::int64_t Value;
    } clicks[] = {{-5, 1}, {0, 1}, {5, 2}, {15, 2}, {35, 4}, {40, 5}, {45, 6}, {70, 8}, {75, 8}};
    for (const auto& l : layouts) {
        Bar.SetVerticalOrientation(l.Vertical);
        Bar.SetThumbImage(l.Thumb ? Solid(l.Thumb, 24, 0xFF000000) : TPicture{});
        if (l.Vertical)
            Bar.SetBounds(0, 0, 24, 70);
        else
            Bar.SetBounds(0, 0, 70 + l.Thumb, 24);
        for (const auto& c : clicks) {
            SCOPED_TRACE(testing::Message() << "vertical " << l.Vertical << " thumb " << l.Thumb
                                            << " offset " << c.Offset);
            Events.clear();
            const int along = l.Thumb / 2 + c.Offset;
            if (l.Vertical)
                Click(12, 70 - along);
            else
                Click(along, 12);
            EXPECT_EQ(Bar.Position(), c.Value);
            EXPECT_EQ(Events, (std::vector<TEvent>{{'B', msProgress, c.Value},
                                                   {'E', msProgress, c.Value}}));
        }
    }
}

TEST_F(PosBarTest, RangeSettersKeepPositionInsideWithoutEvents) {
    const struct {
        const char* Name;
        void (*Act)(TPosbar&);
        std::int64_t Min, Max, Position;
    } rows[] = {
        {"max below position", [](TPosbar& b) { b.SetMax(30); }, 0, 30, 30},
        {"max above position", [](TPosbar& b) { b.SetMax(200); }, 0, 200, 50},
        {"min above position", [](TPosbar& b) { b.SetMin(60); }, 60, 100, 60},
        {"position above max", [](TPosbar& b) { b.SetPosition(150); }, 0, 100, 100},
        {"position below min", [](TPosbar& b) { b.SetPosition(-5); }, 0, 100, 0},
        {"max below min pulls min", [](TPosbar& b) { b.SetMax(-10); }, -10, -10, -10},
        {"min above max pulls max", [](TPosbar& b) { b.SetMin(300); }, 300, 300, 300},
        {"full 64-bit range",
         [](TPosbar& b) {
             b.SetMin(Lowest);
             b.SetMax(Highest);
             b.SetPosition(Highest);
         },
         Lowest, Highest, Highest},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        TPosbar bar{Form};
        Listen(bar);
        r.Act(bar);
        EXPECT_EQ(bar.Min(), r.Min);
        EXPECT_EQ(bar.Max(), r.Max);
        EXPECT_EQ(bar.Position(), r.Position);
    }
    EXPECT_TRUE(Events.empty());
}

TEST_F(PosBarTest, SizeIsAtLeastThreeAndGrowsTheControl) {
    Bar.SetSize(1);
    EXPECT_EQ(Bar.Size(), 3);
    Bar.SetSize(30);
    EXPECT_EQ(Bar.Height(), 30);
}

TEST_F(PosBarTest, SettingTheCurrentValueDoesNotRepaint) {
    void (*const unchanged[])(TPosbar&) = {
        [](TPosbar& b) { b.SetMin(0); },         [](TPosbar& b) { b.SetMax(100); },
        [](TPosbar& b) { b.SetPosition(50); },   [](TPosbar& b) { b.SetCutEnd(100); },
        [](TPosbar& b) { b.SetSize(10); },       [](TPosbar& b) { b.SetForeColor(0x808080); },
        [](TPosbar& b) { b.SetThumbImage({}); },
    };
    for (auto act : unchanged) {
        Form.PaintDirty();
        act(Bar);
        EXPECT_TRUE(Form.DirtyRects().empty());
    }
    Bar.SetPosition(51);
    EXPECT_FALSE(Form.DirtyRects().empty());
}

TEST_F(PosBarTest, PressesThatStartNoDragLeaveThePosition) {
    const struct {
        const char* Name;
        TMouseButton Button;
        TShiftState Shift;
        std::vector<TEvent> Expected;
    } rows[] = {
        {"right button", mbRight, ssRight, {{'B', msNone, 50}, {'E', msNone, 50}}},
        {"second press of a double click", mbLeft, ssLeft | ssDouble, {{'E', msNone, 50}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        Events.clear();
        Press(10, 12, r.Button, r.Shift);
        Move(120, 12);
        Release(120, 12, r.Button);
        EXPECT_EQ(Bar.Position(), 50);
        EXPECT_EQ(Events, r.Expected);
    }
}

TEST_F(PosBarTest, DragPastEitherEndClampsWhileTheFormHoldsTheMouse) {
    Bar.SetBounds(20, 10, 100, 24);
    Form.MouseDown({70, 20, mbLeft, ssLeft});
    Form.MouseMove({5, 20, mbLeft, ssLeft});
    Form.MouseMove({190, 20, mbLeft, ssLeft});
    Form.MouseMove({190, 20, mbLeft, ssLeft});
    Form.MouseUp({190, 20, mbLeft, {}});
    EXPECT_EQ(Bar.Position(), 100);
    EXPECT_EQ(Events, (std::vector<TEvent>{{'B', msProgress, 50},
                                           {'M', msProgress, 0},
                                           {'M', msProgress, 100},
                                           {'E', msProgress, 100}}));
}

TEST_F(PosBarTest, DegenerateTracksGiveMinAndWideRangesDoNotOverflow) {
    const TColor32 thumb = 0xFFFF00FF;
    const struct {
        const char* Name;
        int Width, Thumb;
        std::int64_t Min, Max;
        int X;
        std::int64_t Expected;
    } rows[] = {
        {"single value", 100, 10, 5, 5, 70, 5},
        {"track as wide as the thumb", 10, 10, 0, 100, 9, 0},
        {"control narrower than the thumb", 6, 10, 0, 100, 0, 0},
        {"no width", 0, 0, 0, 100, 0, 0},
        {"full 64-bit range, middle", 100, 0, Lowest, Highest, 50, 0},
        {"full 64-bit range, past the end", 100, 0, Lowest, Highest, 150, Highest},
        {"full 64-bit range, before the start", 100, 0, Lowest, Highest, -50, Lowest},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        TPosbar bar{Form};
        bar.SetMin(r.Min);
        bar.SetMax(r.Max);
        bar.SetThumbImage(r.Thumb ? Solid(r.Thumb, 24, thumb) : TPicture{});
        bar.SetWidth(r.Width);
        bar.SetCutMode(true); // cut handles map through the same track
        bar.MouseDown({r.X, 12, mbLeft, ssLeft});
        bar.MouseMove({r.X + 1, 12, mbLeft, ssLeft});
        bar.MouseUp({r.X, 12, mbLeft, {}});
        EXPECT_EQ(bar.Position(), r.Expected);
        TBitmap32 out;
        Form.PaintTo(out);
        if (r.Thumb) {
            EXPECT_EQ(out.Pixel(0, 12), thumb); // centred on the track start
        }
    }
}

TEST_F(PosBarTest, GaugePaintsTrackOutlineBackAndFilledPartUpToTheThumb) {
    const TColor32 back = 0xFFFF0000, fore = 0xFF00FF00, border = 0xFF0000FF, thumb = 0xFFFF00FF;
    const TColor32 form = Color32FromColor(Form.Color);
    Bar.SetBackColor(0x0000FF);
    Bar.SetForeColor(0x00FF00);
    Bar.SetBorderColor(0xFF0000);
    enum { Horizontal, Vertical, WithThumb };
    // Bar thickness 10. Horizontal: 100 x 24, track x 0..99, rows 7..16,
    // filled x 0..49. Vertical: 24 x 100, columns 7..16, track rows 0..99,
    // filled rows 50..99. With a 10 x 20 thumb: 110 x 20, track x 5..104,
    // rows 5..14, filled x 5..54, thumb x 50..59.
    const struct {
        int Layout, X, Y;
        TColor32 Expected;
    } pixels[] = {
        {Horizontal, 0, 7, fore},    {Horizontal, 49, 12, fore},   {Horizontal, 50, 12, back},
        {Horizontal, 75, 7, border}, {Horizontal, 75, 16, border}, {Horizontal, 99, 12, border},
        {Horizontal, 75, 6, form},   {Horizontal, 75, 17, form},   {Vertical, 12, 99, fore},
        {Vertical, 12, 50, fore},    {Vertical, 12, 49, back},     {Vertical, 12, 0, border},
        {Vertical, 7, 25, border},   {Vertical, 16, 25, border},   {Vertical, 6, 25, form},
        {Vertical, 17, 25, form},    {WithThumb, 4, 10, form},     {WithThumb, 5, 10, fore},
        {WithThumb, 49, 10, fore},   {WithThumb, 50, 0, thumb},    {WithThumb, 59, 19, thumb},
        {WithThumb, 60, 10, back},   {WithThumb, 70, 5, border},   {WithThumb, 104, 10, border},
    };
    for (int layout : {Horizontal, Vertical, WithThumb}) {
        Bar.SetVerticalOrientation(layout == Vertical);
        Bar.SetThumbImage(layout == WithThumb ? Solid(10, 20, thumb) : TPicture{});
        if (layout == Vertical)
            Bar.SetBounds(10, 20, 24, 100);
        else
            Bar.SetBounds(10, 20, layout == WithThumb ? 110 : 100, Bar.Height());
        TBitmap32 out;
        Form.PaintTo(out);
        for (const auto& p : pixels) {
            if (p.Layout != layout) continue;
            SCOPED_TRACE(testing::Message() << "layout " << layout << " at " << p.X << "," << p.Y);
            EXPECT_EQ(out.Pixel(10 + p.X, 20 + p.Y), p.Expected);
        }
    }
}

TEST_F(PosBarTest, CutSettersKeepTheSubRangeInsideTheRange) {
    const struct {
        const char* Name;
        void (*Act)(TPosbar&);
        std::int64_t Begin, End, MinSize;
    } rows[] = {
        {"begin past the end", [](TPosbar& b) { b.SetCutBegin(150); }, 100, 100, 0},
        {"end before the begin",
         [](TPosbar& b) {
             b.SetCutBegin(40);
             b.SetCutEnd(30);
         },
         40, 40, 0},
        {"begin keeps the minimum size",
         [](TPosbar& b) {
             b.SetMinCutSize(20);
             b.SetCutBegin(95);
         },
         80, 100, 20},
        {"minimum size above the range", [](TPosbar& b) { b.SetMinCutSize(500); }, 0, 100, 100},
        {"negative minimum size", [](TPosbar& b) { b.SetMinCutSize(-5); }, 0, 100, 0},
        {"minimum size blocked by max moves the begin",
         [](TPosbar& b) {
             b.SetCutBegin(50);
             b.SetMinCutSize(80);
         },
         20, 100, 80},
        {"max lowered below the end",
         [](TPosbar& b) {
             b.SetMinCutSize(60);
             b.SetMax(40);
         },
         0, 40, 40},
        {"min raised above the begin", [](TPosbar& b) { b.SetMin(70); }, 70, 100, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        TPosbar bar{Form};
        r.Act(bar);
        EXPECT_EQ(bar.CutBegin(), r.Begin);
        EXPECT_EQ(bar.CutEnd(), r.End);
        EXPECT_EQ(bar.MinCutSize(), r.MinSize);
    }
}

TEST_F(PosBarTest, CutHandlesFollowThePointerFromWhereTheyWereGrabbed) {
    // 6 x 6 handles on a 112-pixel bar: track x 6..105, one value per pixel,
    // handles hang below the bar at rows 17..23.
    Bar.SetWidth(112);
    Bar.SetCutLeftImage(Solid(6, 6, 0xFF000000));
    Bar.SetCutRightImage(Solid(6, 6, 0xFF000000));
    Bar.SetCutMode(true);
    Bar.SetCutBegin(20); // left handle x 20..26
    Press(23, 20);
    Move(33, 20);
    Release(33, 20);
    EXPECT_EQ(Bar.CutBegin(), 30);
    EXPECT_EQ(Events, (std::vector<TEvent>{
                          {'B', msLeftCut, 50}, {'M', msLeftCut, 50}, {'E', msLeftCut, 50}}));

    Bar.SetMinCutSize(10);
    Press(108, 18); // right handle x 106..112
    Move(0, 18);
    Release(0, 18);
    EXPECT_EQ(Bar.CutEnd(), 40);
    EXPECT_EQ(Bar.Position(), 50);
}
} // namespace
