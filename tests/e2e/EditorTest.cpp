// The editor's panels as a user meets them: the tools panel beside the
// selection, a tool chosen by its button, a width picked on the balloon's
// slider, and the colour dialog opened and cancelled.
#include "KadrixProcess.h"
#include "ScreenPattern.h"
#include "capture/PanelPlacement.h"

#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t Red = 0xFF0000; // the default drawing colour
constexpr TRect Selection{100, 100, 500, 400};

TRect WindowRect(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool Visible(HWND wnd) {
    return wnd && ::IsWindowVisible(wnd);
}

class Editor : public TCaptureFixture {
protected:
    void SetUp() override {
        TCaptureFixture::SetUp();
        StartKadrix();
        StartCapture();
        DragMouse(Selection.Left, Selection.Top, Selection.Right, Selection.Bottom);
        FTools = FKadrix->FindWindowOfClass(L"TPanelTools");
        ASSERT_TRUE(WaitUntil([&] { return Visible(FTools); }));
    }
    // The centre of the tools panel's button at left (width w).
    void ClickTool(int left, int w = 38) {
        const TRect t = WindowRect(FTools);
        ClickAt(t.Left + left + w / 2, t.Top + 19);
    }
    // Rows around y at column x that no longer show the pattern.
    static int StrokeRows(int x, int y) {
        int rows = 0;
        for (int v = y - 12; v <= y + 12; ++v)
            rows += ScreenPixel(x, v) != Pattern(x, v);
        return rows;
    }
    static bool RedAlong(int x0, int x1, int y) {
        return WaitUntil([&] {
            for (int x = x0; x <= x1; x += 25)
                if (ScreenPixel(x, y) != Red) return false;
            return true;
        });
    }

    HWND FTools = nullptr;
};

TEST_F(Editor, ToolsPanelStandsWherePlacementPutsItAndThePenDrawsInTheCurrentColour) {
    TPanelPlacementInput in;
    in.WorkArea = {0, 0, FW, FH};
    in.Selection = {float(Selection.Left), float(Selection.Top), float(Selection.Right),
                    float(Selection.Bottom)};
    in.ToolsWidth = 532;
    in.ToolsHeight = 38;
    in.SaveWidth = 38;
    in.SaveHeight = 157;
    in.ToolsMonitor = in.SaveMonitor = in.WorkArea;
    const TPanelPositions p = ComputePanelPositions(in);
    EXPECT_EQ(WindowRect(FTools), (TRect{p.ToolsX, p.ToolsY, p.ToolsX + 532, p.ToolsY + 38}));
    EXPECT_EQ(WindowRect(FKadrix->FindWindowOfClass(L"TPanelSave")),
              (TRect{p.SaveX, p.SaveY, p.SaveX + 38, p.SaveY + 157}));

    ClickTool(38); // pen
    DragMouse(150, 250, 400, 250);
    MoveMouseTo(FW - 5, FH - 5);
    EXPECT_TRUE(RedAlong(175, 375, 250));
    EXPECT_EQ(ScreenPixel(300, 262), Pattern(300, 262));
}

TEST_F(Editor, WidthEightFromTheBalloonMakesTheNextLineThicker) {
    ClickTool(38); // pen
    DragMouse(150, 200, 400, 200);
    ASSERT_TRUE(RedAlong(175, 375, 200));
    const int thin = StrokeRows(275, 200);

    // Opening time: from the release on the width button until the shaped
    // window shows.
    const TRect t = WindowRect(FTools);
    MoveMouseTo(t.Left + 190 + 20, t.Top + 20);
    std::this_thread::sleep_for(150ms);
    MoveMouseTo(t.Left + 190 + 19, t.Top + 19);
    std::this_thread::sleep_for(200ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(60ms);
    HWND width = FKadrix->FindWindowOfClass(L"TWidthForm");
    const auto released = std::chrono::steady_clock::now();
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    while (!Visible(width) && std::chrono::steady_clock::now() - released < 5s)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(Visible(width));
    std::printf(
        "width panel shown %.1f ms after the release\n",
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - released)
            .count());
    // Below the tools panel: not flipped, the slider's track at y 14..30.
    const TRect w = WindowRect(width);
    EXPECT_EQ(w.Top, WindowRect(FTools).Bottom + 5);
    EXPECT_EQ(w.Left, WindowRect(FTools).Left + 147);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(width, rgn), COMPLEXREGION);
    ::DeleteObject(rgn);
    ClickAt(w.Left + 17 + 85, w.Top + 22);
    EXPECT_TRUE(WaitUntil([&] { return !Visible(width); }));

    DragMouse(150, 320, 400, 320);
    MoveMouseTo(FW - 5, FH - 5);
    ASSERT_TRUE(RedAlong(175, 375, 320));
    const int thick = StrokeRows(275, 320);
    EXPECT_EQ(thin, 5);
    EXPECT_GE(thick, 8);
    EXPECT_LE(thick, 9);
}

TEST_F(Editor, CancelledColourDialogLeavesTheColourAndBringsThePanelsBack) {
    const int toolsLeft = WindowRect(FTools).Left;
    ClickTool(390, 48); // colour
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = FKadrix->FindWindowOfClass(L"#32770");
        return Visible(dialog);
    }));
    EXPECT_FALSE(Visible(FTools));
    const TRect d = WindowRect(dialog);
    // Above the overlay, where the user can reach it.
    const POINT centre{(d.Left + d.Right) / 2, (d.Top + d.Bottom) / 2};
    EXPECT_EQ(::GetAncestor(::WindowFromPoint(centre), GA_ROOT), dialog);
    EXPECT_EQ(d.Left, toolsLeft);
    EXPECT_EQ(d.Top, FH / 2 - 175);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !Visible(dialog) && Visible(FTools); }));

    ClickTool(38); // pen
    DragMouse(150, 250, 400, 250);
    MoveMouseTo(FW - 5, FH - 5);
    EXPECT_TRUE(RedAlong(175, 375, 250));
}
} // namespace
