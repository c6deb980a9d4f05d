// The capture overlay as a user sees it: a known picture on the screen, a
// hotkey or a drag, and the pixels the overlay then shows.
#include "KadrixProcess.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t DimColor = 0x66353739;

HWND Overlay(const TKadrixProcess& p) {
    HWND overlay = p.FindWindowOfClass(L"TSetRegionForm");
    return overlay && ::IsWindowVisible(overlay) ? overlay : nullptr;
}

class Capture : public TCaptureFixture {
protected:
    void SetUp() override {
        TCaptureFixture::SetUp();
        StartKadrix();
    }
    bool WaitOverlay(bool shown) {
        return WaitUntil([&] { return (Overlay(*FKadrix) != nullptr) == shown; }, 5s);
    }
    std::uint32_t Dimmed(int x, int y) const { return Blend(DimColor, Pattern(x, y)) & 0xFFFFFF; }
    HWND Panel(const wchar_t* cls) const { return FKadrix->FindWindowOfClass(cls); }

    // The whole screen: the pattern inside sel, dimmed outside it. Not
    // compared: the frame with its handles and size label, the panels, the
    // cursor captured at the bottom-right corner, and `drawn` (strokes).
    ::testing::AssertionResult SelectionOnlyUndimmed(RECT sel, std::vector<RECT> drawn) const {
        constexpr int Frame = 8;
        drawn.push_back({sel.left - Frame, sel.top - Frame, sel.right + Frame, sel.top + Frame});
        drawn.push_back(
            {sel.left - Frame, sel.bottom - Frame, sel.right + Frame, sel.bottom + Frame});
        drawn.push_back({sel.left - Frame, sel.top - Frame, sel.left + Frame, sel.bottom + Frame});
        drawn.push_back(
            {sel.right - Frame, sel.top - Frame, sel.right + Frame, sel.bottom + Frame});
        drawn.push_back({sel.left, sel.top - 40, sel.left + 120, sel.top}); // size label
        drawn.push_back({FW - 40, FH - 40, FW, FH});
        for (const wchar_t* cls : {L"TPanelSave", L"TPanelTools"})
            drawn.push_back(ShownRect(Panel(cls)));
        return ScreenShowsEverywhere(
            [&](int x, int y) {
                const bool inside =
                    x >= sel.left && x < sel.right && y >= sel.top && y < sel.bottom;
                return inside ? Pattern(x, y) : Dimmed(x, y);
            },
            drawn);
    }
};

TEST_F(Capture, PrintScreenFreezesTheScreenDarkenedAndEscCloses) {
    TapKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitOverlay(true));
    RECT r{};
    ::GetWindowRect(Overlay(*FKadrix), &r);
    EXPECT_EQ(r.right - r.left, FW);
    EXPECT_EQ(r.bottom - r.top, FH);
    for (auto [x, y] : {std::pair{10, 10}, {FW / 2, FH / 2}, {FW - 40, 30}, {77, FH - 50}})
        EXPECT_TRUE(ScreenPixelBecomes(x, y, Dimmed(x, y)))
            << x << "," << y << ": " << std::hex << ScreenPixel(x, y) << " vs " << Dimmed(x, y);

    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitOverlay(false));
    // The next capture starts again (under Xvfb the uncovered window is not
    // repainted before the next grab, so its pixels aren't compared here).
    ::SetForegroundWindow(FPattern->Handle());
    TPatternWindow::Pump(300ms);
    TapKey(VK_SNAPSHOT);
    EXPECT_TRUE(WaitOverlay(true));
}

TEST_F(Capture, DragSelectsARegionShownUndimmedInsideItsDashedFrame) {
    TapKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitOverlay(true));
    const int l = 200, t = 150, rr = 600, b = 450;
    DragMouse(l, t, rr, b);
    MoveMouseTo(FW - 5, FH - 5);

    EXPECT_TRUE(ScreenPixelBecomes(400, 300, Pattern(400, 300)));
    EXPECT_TRUE(ScreenPixelBecomes(l + 30, t + 30, Pattern(l + 30, t + 30)));
    EXPECT_TRUE(ScreenPixelBecomes(100, 300, Dimmed(100, 300)));
    EXPECT_TRUE(ScreenPixelBecomes(700, 500, Dimmed(700, 500)));
    // The dashed frame runs clockwise from the top-left corner: four white
    // pixels, then four black, on the selection's outermost inside pixels.
    for (int x = l + 16; x < l + 32; ++x) {
        const std::uint32_t expected = ((x - l) % 8) < 4 ? 0xFFFFFF : 0x000000;
        EXPECT_TRUE(ScreenPixelBecomes(x, t, expected)) << "frame at x=" << x;
    }

    // Mid-stroke, the button still held, and after it: every pixel outside
    // the selection and the panels stays dimmed, every one inside shows the
    // screen but for the stroke.
    ASSERT_TRUE(WaitUntil([&] { return ShownRect(Panel(L"TPanelSave")).right > 0; }));
    const RECT stroke{l + 28, t + 28, l + 213, t + 213}; // the arrow and its head
    MoveMouseTo(l + 40, t + 40);
    TPatternWindow::Pump(300ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 4; ++i) {
        MoveMouseTo(l + 40 + 40 * i, t + 40 + 40 * i);
        TPatternWindow::Pump(60ms);
    }
    EXPECT_TRUE(SelectionOnlyUndimmed({l, t, rr, b}, {stroke})) << "mid-stroke";
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    MoveMouseTo(FW - 5, FH - 5);
    EXPECT_TRUE(SelectionOnlyUndimmed({l, t, rr, b}, {stroke})) << "after the stroke";
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitOverlay(false));
}

TEST_F(Capture, ShiftPrintScreenSelectsTheWholeScreen) {
    TapKey(VK_SNAPSHOT, {VK_SHIFT});
    ASSERT_TRUE(WaitOverlay(true));
    // The editor opens at once: the actions panel sits inside the bottom-right
    // corner, so the samples keep clear of it.
    EXPECT_TRUE(WaitUntil([&] {
        HWND panel = FKadrix->FindWindowOfClass(L"TPanelSave");
        return panel && ::IsWindowVisible(panel);
    }));
    for (auto [x, y] : {std::pair{80, 80}, {FW / 2, FH / 2}, {FW - 40, FH / 4}, {40, FH - 40}})
        EXPECT_TRUE(ScreenPixelBecomes(x, y, Pattern(x, y))) << x << "," << y;
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitOverlay(false));
}

TEST_F(Capture, AltPrintScreenSelectsTheForegroundWindow) {
    TPatternWindow front(300, 200, 320, 240);
    ::SetForegroundWindow(front.Handle());
    TPatternWindow::Pump(200ms);
    TapKey(VK_SNAPSHOT, {VK_MENU});
    ASSERT_TRUE(WaitOverlay(true));
    // The editor opens on the window at once; its panels stand outside it.
    ASSERT_TRUE(WaitUntil([&] {
        return ShownRect(Panel(L"TPanelSave")).right > 0 &&
               ShownRect(Panel(L"TPanelTools")).right > 0;
    }));
    EXPECT_TRUE(SelectionOnlyUndimmed({300, 200, 620, 440}, {}));
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitOverlay(false));
}

TEST_F(Capture, HotKeyStoredWithHighBitsUsesItsLow16Bits) {
    FKadrix.reset();
    SetDword(L"hkAreaScreen", 0xABCD0000u | 0x2000u | VK_F9); // Shift+F9
    FKadrix = std::make_unique<TKadrixProcess>();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    TapKey(VK_SNAPSHOT);
    std::this_thread::sleep_for(NothingHappensWithin);
    EXPECT_EQ(Overlay(*FKadrix), nullptr) << "Print Screen is no longer the area hotkey";
    TapKey(VK_F9, {VK_SHIFT});
    EXPECT_TRUE(WaitOverlay(true));
}
} // namespace
