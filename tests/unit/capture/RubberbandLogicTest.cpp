#include "capture/RubberbandLogic.h"

#include <gtest/gtest.h>

namespace {
const TFloatRect Sel{100, 100, 300, 200};

TRubberbandLogic FinalSelection(bool liveTool = false) {
    TRubberbandLogic l;
    l.SetLocation(Sel);
    l.VisibleRect = true;
    l.SelectState = ssEnd;
    l.RectWork = {0, 0, 1920, 1080};
    l.HasLiveTool = [liveTool] { return liveTool; };
    return l;
}

TEST(Rubberband, DragStateAndCursorAtPoint) {
    struct TCase {
        int X, Y;
        bool LiveTool;
        TDragState State;
        TCursorKind Cursor;
    };
    // The last pixel inside is (299, 199); the tolerance is 7.
    const TCase cases[] = {
        {298, 50, false, dsSizeR, crSizeWE},     {306, 150, false, dsSizeR, crSizeWE},
        {307, 150, false, dsMove, crSizeAll},    {200, 100, false, dsSizeT, crSizeNS},
        {200, 206, false, dsSizeB, crSizeNS},    {100, 100, false, dsSizeTL, crSizeNWSE},
        {305, 205, false, dsSizeBR, crSizeNWSE}, {299, 100, false, dsSizeTR, crSizeNESW},
        {100, 199, false, dsSizeBL, crSizeNESW}, {150, 150, false, dsMove, crSizeAll},
        {150, 150, true, dsNone, crDefault},     {102, 150, true, dsSizeL, crSizeWE},
        {600, 600, false, dsMove, crSizeAll},
    };
    for (const TCase& c : cases) {
        TRubberbandLogic l = FinalSelection(c.LiveTool);
        EXPECT_EQ(l.DragStateAt(c.X, c.Y), c.State) << c.X << "," << c.Y;
        EXPECT_EQ(l.HitTest(c.X, c.Y), c.State != dsNone);
        const TRubberbandMove m = l.MouseMove({}, c.X, c.Y);
        EXPECT_TRUE(m.SetCursor);
        EXPECT_EQ(m.Cursor, c.Cursor) << c.X << "," << c.Y;
        EXPECT_FALSE(m.LocationChanged);
    }
}

TEST(Rubberband, NoDragWithoutAFinalSelectionOrWithTheRightButton) {
    TRubberbandLogic l = FinalSelection();
    l.VisibleRect = false;
    EXPECT_EQ(l.DragStateAt(300, 150), dsNone);
    l.VisibleRect = true;
    l.SelectState = ssMove;
    l.MouseDown(300, 150);
    EXPECT_FALSE(l.Dragging());
    // During the initial drag the layer leaves the cursor alone.
    EXPECT_FALSE(l.MouseMove({}, 300, 150).SetCursor);

    l.SelectState = ssEnd;
    l.MouseDown(300, 150);
    ASSERT_TRUE(l.Dragging());
    EXPECT_FALSE(l.MouseMove(ssRight, 500, 150).LocationChanged);
    EXPECT_EQ(l.Location(), Sel);
}

TEST(Rubberband, EdgeDraggedAcrossTheOppositeMirrors) {
    TRubberbandLogic l = FinalSelection();
    int calls = 0;
    TFloatRect old, proposed;
    l.OnResizing = [&](const TFloatRect& o, TFloatRect& n, TDragState s, TShiftState) {
        ++calls;
        old = o;
        proposed = n;
        EXPECT_EQ(s, dsSizeL);
    };
    l.MouseDown(100, 150);
    EXPECT_TRUE(l.MouseMove(ssLeft, 350, 150).LocationChanged);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(old, Sel);
    EXPECT_EQ(proposed, (TFloatRect{300, 100, 350, 200}));
    EXPECT_EQ(l.Location(), proposed);

    // Steps are taken from the press, so coming back restores the rectangle.
    l.MouseMove(ssLeft, 100, 150);
    EXPECT_EQ(l.Location(), Sel);
    l.MouseUp();
    EXPECT_FALSE(l.Dragging());
}

TEST(Rubberband, CornerResizeAndMoveWithTheOverlayClamp) {
    TRubberbandLogic l = FinalSelection();
    l.OnResizing = [](const TFloatRect&, TFloatRect& n, TDragState, TShiftState) {
        ClampSelection(n, 1920, 1080);
    };
    l.MouseDown(299, 199);
    l.MouseMove(ssLeft, 400, 2000);
    EXPECT_EQ(l.Location(), (TFloatRect{100, 100, 400, 1080}));
    l.MouseUp();

    l.SetLocation(Sel);
    l.MouseDown(150, 150); // grabs the selection 50, 50 from its corner
    l.MouseMove(ssLeft, 160, 170);
    EXPECT_EQ(l.Location(), (TFloatRect{110, 120, 310, 220}));
    l.MouseDown(600, 600); // a second press while dragging changes nothing
    l.MouseMove(ssLeft, 20, 150);
    EXPECT_EQ(l.Location(), (TFloatRect{0, 100, 170, 200})); // shrinks at the border
}
} // namespace
