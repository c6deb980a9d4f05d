// The capture overlay as a user sees it: a known picture on the screen, a
// hotkey or a drag, and the pixels the overlay then shows.
#include "KadrixProcess.h"

#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t DimColor = 0x66353739;

std::uint32_t Pattern(int x, int y) {
    return (std::uint32_t((x * 7) & 255) << 16) | (std::uint32_t((y * 5) & 255) << 8) |
           std::uint32_t(((x + y) * 3) & 255);
}

std::uint32_t Blend(std::uint32_t f, std::uint32_t b) {
    const std::uint32_t fa = f >> 24;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int fc = (f >> shift) & 255, bc = (b >> shift) & 255;
        out |= std::uint32_t((256 * bc + 128 + (fc - bc) * int(fa)) / 256) << shift;
    }
    return out;
}

// A borderless window painted with Pattern at screen coordinates.
class TPatternWindow {
public:
    TPatternWindow(int x, int y, int w, int h) : FX(x), FY(y) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KadrixTestPattern";
        ::RegisterClassW(&wc);
        FWnd.reset(::CreateWindowExW(WS_EX_TOPMOST, L"KadrixTestPattern", L"pattern", WS_POPUP, x,
                                     y, w, h, nullptr, nullptr, wc.hInstance, this));
        ::SetWindowLongPtrW(FWnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::ShowWindow(FWnd.get(), SW_SHOW);
        ::SetForegroundWindow(FWnd.get());
        ::UpdateWindow(FWnd.get());
        Pump(300ms);
    }
    HWND Handle() const { return FWnd.get(); }

    static void Pump(std::chrono::milliseconds d) {
        const auto end = std::chrono::steady_clock::now() + d;
        while (std::chrono::steady_clock::now() < end) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            std::this_thread::sleep_for(10ms);
        }
    }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_PAINT) {
            auto* self = reinterpret_cast<TPatternWindow*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(w, &ps);
            RECT rc;
            ::GetClientRect(w, &rc);
            std::vector<std::uint32_t> px(std::size_t(rc.right) * rc.bottom);
            for (int y = 0; y < rc.bottom; ++y)
                for (int x = 0; x < rc.right; ++x)
                    px[std::size_t(y) * rc.right + x] =
                        self ? Pattern(x + self->FX, y + self->FY) : 0;
            BITMAPINFO bmi{};
            bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            bmi.bmiHeader.biWidth = rc.right;
            bmi.bmiHeader.biHeight = -rc.bottom;
            bmi.bmiHeader.biPlanes = 1;
            bmi.bmiHeader.biBitCount = 32;
            ::StretchDIBits(dc, 0, 0, rc.right, rc.bottom, 0, 0, rc.right, rc.bottom, px.data(),
                            &bmi, DIB_RGB_COLORS, SRCCOPY);
            ::EndPaint(w, &ps);
            return 0;
        }
        return ::DefWindowProcW(w, m, wp, lp);
    }

    int FX, FY;
    unique_hwnd FWnd;
};

std::uint32_t ScreenPixel(int x, int y) {
    TWindowDC dc(nullptr);
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

bool ScreenPixelBecomes(int x, int y, std::uint32_t expected) {
    return WaitUntil([&] { return ScreenPixel(x, y) == expected; }, 3s);
}

// Under X the pointer warps of SendInput come back as motion events a little
// later; pausing between the steps keeps them in order, as a hand would.
void DragMouse(int x0, int y0, int x1, int y1) {
    // A window just mapped reports X's own pointer position once: move
    // twice so the press lands where intended.
    MoveMouseTo(x0 + 1, y0 + 1);
    std::this_thread::sleep_for(200ms);
    MoveMouseTo(x0, y0);
    std::this_thread::sleep_for(300ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(100ms);
    for (int i = 1; i <= 8; ++i) {
        MoveMouseTo(x0 + (x1 - x0) * i / 8, y0 + (y1 - y0) * i / 8);
        std::this_thread::sleep_for(60ms);
    }
    std::this_thread::sleep_for(200ms);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(100ms);
}

HWND Overlay(const TKadrixProcess& p) {
    HWND overlay = p.FindWindowOfClass(L"TSetRegionForm");
    return overlay && ::IsWindowVisible(overlay) ? overlay : nullptr;
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsKey();
        FW = ::GetSystemMetrics(SM_CXSCREEN);
        FH = ::GetSystemMetrics(SM_CYSCREEN);
        FPattern = std::make_unique<TPatternWindow>(0, 0, FW, FH);
        FKadrix = std::make_unique<TKadrixProcess>();
        ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
        // Keyboard input reaches the system (and its hotkeys) through the
        // foreground window: make it ours, as a user's click would.
        ::SetForegroundWindow(FPattern->Handle());
        TPatternWindow::Pump(200ms);
        MoveMouseTo(FW - 5, FH - 5); // keep the hint box out of the samples
    }
    void TearDown() override {
        FKadrix.reset();
        ResetSettingsKey();
    }
    bool WaitOverlay(bool shown) {
        return WaitUntil([&] { return (Overlay(*FKadrix) != nullptr) == shown; }, 5s);
    }
    std::uint32_t Dimmed(int x, int y) const { return Blend(DimColor, Pattern(x, y)); }

    int FW = 0, FH = 0;
    std::unique_ptr<TPatternWindow> FPattern;
    std::unique_ptr<TKadrixProcess> FKadrix;
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
