// Captures on two monitors, the second left of and above the primary and of
// another size: the overlay covers both, a selection on either yields exactly
// its pixels and the panels stay on the selection's monitor. Needs the
// two-monitor display of kadrix_start_xorg_monitors with the pattern of
// kadrix_root_pattern (KADRIX_TEST_MONITORS=1).
#include "ClipboardImage.h"
#include "KadrixProcess.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {
std::vector<RECT> MonitorRects() {
    std::vector<RECT> rects;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT r, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<RECT>*>(lp)->push_back(*r);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rects));
    return rects;
}

RECT VirtualScreen() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
            y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Str(const RECT& r) {
    char s[64];
    std::snprintf(s, sizeof s, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return s;
}

class Monitors : public TCaptureFixture {
protected:
    void SetUp() override {
        KADRIX_REQUIRE(std::getenv("KADRIX_TEST_MONITORS"),
                       "needs the two-monitor display of scripts/test.sh");
        TCaptureFixture::SetUp();
        NoCompanionWindows(); // six copies: the offer and the survey would cover the pattern
        EmptyTheClipboard();
    }

    // The pattern over the whole virtual screen, painted by the X server as
    // the root window's background (kadrix_root_pattern): on this display a
    // Wine window on the second screen is not repainted once the overlay has
    // covered it. A one-pixel Wine window in the primary's corner stays in
    // front for the keys.
    void PatternOverAllMonitors() {
        FVirtual = VirtualScreen();
        ::SetWindowPos(FPattern->Handle(), HWND_TOPMOST, 1279, 799, 1, 1, SWP_SHOWWINDOW);
        ::SetForegroundWindow(FPattern->Handle());
        TPatternWindow::Pump(500ms);
    }
    std::uint32_t PatternAt(int x, int y) const {
        return Pattern(x - FVirtual.left, y - FVirtual.top);
    }

    RECT WindowRect(const wchar_t* cls) const {
        RECT r{};
        if (HWND w = FKadrix->FindWindowOfClass(cls)) ::GetWindowRect(w, &r);
        return r;
    }

    RECT FVirtual{};
};
} // namespace

TEST_F(Monitors, TheLayoutHasAMonitorLeftOfAndAboveThePrimary) {
    const std::vector<RECT> monitors = MonitorRects();
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_EQ(Str(monitors[0]), "(0,0)-(1280,800)");
    EXPECT_EQ(Str(monitors[1]), "(-1024,-200)-(0,568)");
}

// One run of Kadrix, six captures alternating between the monitors, the
// secondary first: the panels then move back to the primary, which the
// placement's previous-monitor rule must follow. Each copy must be exactly
// the screen's pixels.
TEST_F(Monitors, SelectionsOnEitherMonitorCopyItsPixelsWithThePanelsBesideThem) {
    const RECT secondary{-1024, -200, 0, 568}, primary{0, 0, 1280, 800};
    const struct {
        RECT Selection; // screen
        RECT Monitor;
    } cases[] = {
        {{-900, -120, -600, 180}, secondary},
        {{300, 200, 700, 500}, primary},
        {{-300, 150, -40, 540}, secondary}, // the secondary's bottom-right corner
        {{880, 60, 1270, 420}, primary},    // top-right: the last copy's note stands below
        {{-1000, -180, -700, 60}, secondary},
        {{200, 100, 560, 380}, primary}, // clear of Wine's own tray window at the top-left
    };
    StartKadrix();
    if (HasFatalFailure()) return;
    PatternOverAllMonitors();
    for (const auto& c : cases) {
        const RECT& s = c.Selection;
        SCOPED_TRACE("selection " + Str(s));
        EmptyTheClipboard();
        MoveMouseTo(1270, 790);
        StartCapture();
        EXPECT_EQ(Str(WindowRect(L"TSetRegionForm")), Str(FVirtual));
        // Dimmed on both monitors.
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(-500, 0) != PatternAt(-500, 0); }, 3s));
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(500, 600) != PatternAt(500, 600); }, 3s));

        DragMouse(s.left, s.top, s.right, s.bottom);
        ASSERT_TRUE(WaitUntil([&] {
            HWND panel = FKadrix->FindWindowOfClass(L"TPanelSave");
            return panel && ::IsWindowVisible(panel);
        })) << "no actions panel";
        TPatternWindow::Pump(300ms);
        for (const wchar_t* panel : {L"TPanelTools", L"TPanelSave"}) {
            const RECT r = WindowRect(panel);
            EXPECT_TRUE(Inside(r, c.Monitor)) << "panel at " << Str(r);
        }

        TapKey('C', {VK_CONTROL});
        ASSERT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
        std::optional<TClipboardImage> img;
        ASSERT_TRUE(WaitUntil([&] { return (img = ClipboardImage()).has_value(); }, 5s))
            << "clipboard formats: " << ClipboardFormats();
        const int w = s.right - s.left, h = s.bottom - s.top;
        ASSERT_EQ(img->Width, w);
        ASSERT_EQ(img->Height, h);
        int wrong = 0;
        TBitmap32 copied(w, h), expected(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                copied.Row(y)[x] = img->Pixels[std::size_t(y) * w + x] | 0xFF000000u;
                expected.Row(y)[x] = PatternAt(s.left + x, s.top + y) | 0xFF000000u;
                wrong += copied.Row(y)[x] != expected.Row(y)[x];
            }
        if (wrong)
            ADD_FAILURE() << wrong
                          << " pixels copied wrong; copy: " << SaveEvidenceImage("copied", copied)
                          << ", expected: " << SaveEvidenceImage("expected", expected)
                          << ", screen now: " << SaveScreenGrab("screen");
    }
}
