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
    EXPECT_TRUE(ScreenPixelBecomes(450, 300, Pattern(450, 300)));
    EXPECT_TRUE(ScreenPixelBecomes(250, 300, Dimmed(250, 300)));
    EXPECT_TRUE(ScreenPixelBecomes(450, 480, Dimmed(450, 480)));
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitOverlay(false));
}

TEST_F(Capture, HotKeyStoredWithHighBitsUsesItsLow16Bits) {
    FKadrix.reset();
    SetDword(L"hkAreaScreen", 0xABCD0000u | 0x2000u | VK_F9); // Shift+F9
    FKadrix = std::make_unique<TKadrixProcess>();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    TapKey(VK_SNAPSHOT);
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(Overlay(*FKadrix), nullptr) << "Print Screen is no longer the area hotkey";
    TapKey(VK_F9, {VK_SHIFT});
    EXPECT_TRUE(WaitOverlay(true));
}
} // namespace
