// Drawing on a capture as a user does: select a region, drag an arrow in it,
// then take it back with Ctrl+Z and bring it back with Ctrl+Y, checking the
// pixels the overlay shows against a known picture.
#include "KadrixProcess.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t Red = 0xFF0000; // the default drawing colour, opaque

std::uint32_t Pattern(int x, int y) {
    return (std::uint32_t((x * 7) & 255) << 16) | (std::uint32_t((y * 5) & 255) << 8) |
           std::uint32_t(((x + y) * 3) & 255);
}

// A borderless window over the whole screen painted with Pattern.
class TPatternWindow {
public:
    TPatternWindow(int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KadrixAnnotatePattern";
        ::RegisterClassW(&wc);
        FWnd.reset(::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"pattern", WS_POPUP, 0, 0, w,
                                     h, nullptr, nullptr, wc.hInstance, nullptr));
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
        if (m != WM_PAINT) return ::DefWindowProcW(w, m, wp, lp);
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        RECT rc;
        ::GetClientRect(w, &rc);
        std::vector<std::uint32_t> px(std::size_t(rc.right) * rc.bottom);
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                px[std::size_t(y) * rc.right + x] = Pattern(x, y);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = rc.right;
        bmi.bmiHeader.biHeight = -rc.bottom;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        ::StretchDIBits(dc, 0, 0, rc.right, rc.bottom, 0, 0, rc.right, rc.bottom, px.data(), &bmi,
                        DIB_RGB_COLORS, SRCCOPY);
        ::EndPaint(w, &ps);
        return 0;
    }

    unique_hwnd FWnd;
};

// F over B, all four channels of $AARRGGBB, as the overlay's images blend.
std::uint32_t Blend(std::uint32_t f, std::uint32_t b) {
    const std::uint32_t fa = f >> 24;
    if (fa == 0) return b;
    if (fa == 255) return f;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        const int fc = (f >> shift) & 255, bc = (b >> shift) & 255;
        out |= std::uint32_t((256 * bc + 128 + (fc - bc) * int(fa)) / 256) << shift;
    }
    return out;
}

std::uint32_t ScreenPixel(int x, int y) {
    TWindowDC dc(nullptr);
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

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
    return out.str();
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

bool OverlayShown(const TKadrixProcess& p) {
    HWND overlay = p.FindWindowOfClass(L"TSetRegionForm");
    return overlay && ::IsWindowVisible(overlay);
}

class Annotate : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsKey(); // the default colour and width
        FW = ::GetSystemMetrics(SM_CXSCREEN);
        FH = ::GetSystemMetrics(SM_CYSCREEN);
        FPattern = std::make_unique<TPatternWindow>(FW, FH);
        FKadrix = std::make_unique<TKadrixProcess>();
        ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
        ::SetForegroundWindow(FPattern->Handle());
        TPatternWindow::Pump(200ms);
        MoveMouseTo(FW - 5, FH - 5);
    }
    void TearDown() override {
        FKadrix.reset();
        ResetSettingsKey();
    }

    int FW = 0, FH = 0;
    std::unique_ptr<TPatternWindow> FPattern;
    std::unique_ptr<TKadrixProcess> FKadrix;
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
