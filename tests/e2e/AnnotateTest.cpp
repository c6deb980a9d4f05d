// Drawing on a capture as a user does: select a region, drag an arrow in it,
// then take it back with Ctrl+Z and bring it back with Ctrl+Y, checking the
// pixels the overlay shows against a known picture.
#include "KadrixProcess.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t Red = 0xFF0000; // the default drawing colour, opaque

// A point of the screen and the colour it should show.
struct TExpectedPixel {
    int X, Y;
    std::uint32_t Colour;
};

// True once every pixel shows its colour; the screen follows the overlay's
// repaint a little later than the input that caused it.
bool ScreenShows(const std::vector<TExpectedPixel>& pixels) {
    return WaitUntil(
        [&] {
            for (const TExpectedPixel& p : pixels)
                if (ScreenPixel(p.X, p.Y) != p.Colour) return false;
            return true;
        },
        3s);
}

std::string Mismatches(const std::vector<TExpectedPixel>& pixels) {
    std::ostringstream out;
    out << std::hex;
    for (const TExpectedPixel& p : pixels)
        if (const std::uint32_t got = ScreenPixel(p.X, p.Y); got != p.Colour)
            out << std::dec << p.X << "," << p.Y << std::hex << ": " << got << " instead of "
                << p.Colour << "\n";
    if (!out.str().empty()) out << "grab: " << SaveScreenGrab("screen");
    return out.str();
}

class Annotate : public TCaptureFixture {
protected:
    void SetUp() override {
        TCaptureFixture::SetUp(); // the default colour and width
        StartKadrix();
    }
};

TEST_F(Annotate, ArrowDrawnInRedIsUndoneWithCtrlZAndRedoneWithCtrlY) {
    TapKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitUntil([&] { return OverlayShown(*FKadrix); }));
    DragMouse(100, 100, 500, 400);
    ASSERT_TRUE(ScreenShows({{300, 300, Pattern(300, 300)}})) << "no selection";

    // The editor starts with the arrow: width 5, so the shaft covers y 248 to
    // 253 and the 15 pixel wide head has its notch 21 pixels behind the tip
    // at the centre of pixel (400, 250).
    DragMouse(150, 250, 400, 250);
    MoveMouseTo(FW - 5, FH - 5);

    // The butt end covers half of pixel 150: red at alpha 128 goes into the
    // transparent white draw image first, then that over the screen.
    const std::uint32_t edge =
        Blend(Blend(0x80000000u | Red, 0x00FFFFFF), 0xFF000000u | Pattern(150, 250)) & 0xFFFFFF;
    const std::vector<TExpectedPixel> arrow = {
        {150, 250, edge}, {151, 250, Red}, {200, 248, Red}, {275, 250, Red},
        {350, 252, Red},  {385, 247, Red}, {385, 253, Red}, {390, 250, Red},
        {397, 250, Red},  {379, 250, Red}, {378, 248, Red},
    };
    const auto unchanged = [](int x, int y) { return TExpectedPixel{x, y, Pattern(x, y)}; };
    std::vector<TExpectedPixel> unedited;
    for (const TExpectedPixel& p : arrow)
        unedited.push_back(unchanged(p.X, p.Y));
    // Just outside the arrow: above and below the shaft and the head, before
    // the start and beyond the tip; and well away from it.
    const std::vector<TExpectedPixel> around = {
        unchanged(300, 247), unchanged(300, 254), unchanged(385, 244), unchanged(385, 256),
        unchanged(149, 250), unchanged(401, 250), unchanged(450, 350), unchanged(250, 150),
    };

    EXPECT_TRUE(ScreenShows(arrow)) << Mismatches(arrow);
    EXPECT_TRUE(ScreenShows(around)) << Mismatches(around);

    TapKey('Z', {VK_CONTROL});
    EXPECT_TRUE(ScreenShows(unedited)) << "after Ctrl+Z\n" << Mismatches(unedited);
    EXPECT_TRUE(ScreenShows(around)) << Mismatches(around);

    TapKey('Y', {VK_CONTROL});
    EXPECT_TRUE(ScreenShows(arrow)) << "after Ctrl+Y\n" << Mismatches(arrow);
    EXPECT_TRUE(ScreenShows(around)) << Mismatches(around);

    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
}
} // namespace
