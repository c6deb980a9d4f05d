// The text tool as a user meets it: the text button, a click in the
// selection, two typed letters, Esc to commit (the overlay stays), the text
// in the picture, and Ctrl+Z taking it out again.
#include "KadrixProcess.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr int TextButtonLeft = 276; // the tools panel's eighth button, 38 wide

// Pixels of area that no longer show the pattern, and of those the ones in
// the default colour's hue (red well above green and blue).
struct TChanged {
    int Any = 0;
    int Reddish = 0;
};
TChanged ChangedIn(int x0, int y0, int x1, int y1) {
    TChanged c;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = ScreenPixel(x, y);
            if (p == Pattern(x, y)) continue;
            ++c.Any;
            const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            c.Reddish += r > 150 && g < 100 && b < 100;
        }
    return c;
}

using TextTool = TCaptureFixture;

TEST_F(TextTool, TypedTextIsCommittedByEscAndTakenOutByCtrlZ) {
    StartKadrix();
    StartCapture();
    const int w = FW, h = FH;
    TKadrixProcess& kadrix = *FKadrix;
    DragMouse(100, 100, 500, 400);
    HWND tools = kadrix.FindWindowOfClass(L"TPanelTools");
    ASSERT_TRUE(WaitUntil([&] { return tools && ::IsWindowVisible(tools); }));
    RECT t{};
    ::GetWindowRect(tools, &t);
    ClickAt(t.left + TextButtonLeft + 19, t.top + 19);

    ClickAt(200, 200); // the box's top-left corner
    MoveMouseTo(w - 5, h - 5);
    TapKey('A', {VK_SHIFT});
    TapKey('B');
    TapKey(VK_ESCAPE);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(OverlayShown(kadrix)) << "the first Esc only ends the text";

    // Two letters of the default text font inside the box's margin.
    TChanged text;
    EXPECT_TRUE(WaitUntil([&] {
        text = ChangedIn(205, 205, 300, 260);
        return text.Reddish > 20;
    })) << text.Any
        << " changed, " << text.Reddish << " red";
    // The frame's top edge and the margin above the text stay as they were.
    EXPECT_EQ(ChangedIn(195, 195, 300, 208).Any, 0);

    TapKey('Z', {VK_CONTROL});
    EXPECT_TRUE(WaitUntil([&] { return ChangedIn(195, 195, 300, 260).Any == 0; }))
        << ChangedIn(195, 195, 300, 260).Any << " pixels still changed after Ctrl+Z";

    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !OverlayShown(kadrix); })) << "the second Esc closes";
}
} // namespace
