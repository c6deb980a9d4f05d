#pragma once
// A known picture on the whole screen and the moves a user makes over it,
// shared by the tests that capture the screen.
#include "FailureEvidence.h"
#include "KadrixProcess.h"
#include "win32/DibSection_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

inline std::uint32_t Pattern(int x, int y) {
    return (std::uint32_t((x * 7) & 255) << 16) | (std::uint32_t((y * 5) & 255) << 8) |
           std::uint32_t(((x + y) * 3) & 255);
}

// A borderless topmost window painted with Pattern at its screen coordinates.
class TPatternWindow {
public:
    TPatternWindow(int w, int h) : TPatternWindow(0, 0, w, h) {}
    TPatternWindow(int x, int y, int w, int h) : FX(x), FY(y) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KadrixTestPattern";
        ::RegisterClassW(&wc);
        FWnd.reset(::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"pattern", WS_POPUP, x, y, w,
                                     h, nullptr, nullptr, wc.hInstance, nullptr));
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
        if (m != WM_PAINT) return ::DefWindowProcW(w, m, wp, lp);
        const auto* self = reinterpret_cast<TPatternWindow*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        RECT rc;
        ::GetClientRect(w, &rc);
        std::vector<std::uint32_t> px(std::size_t(rc.right) * rc.bottom);
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                px[std::size_t(y) * rc.right + x] = self ? Pattern(x + self->FX, y + self->FY) : 0;
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

    int FX, FY;
    unique_hwnd FWnd;
};

// F over B, all four channels of $AARRGGBB, as the overlay's images blend.
inline std::uint32_t Blend(std::uint32_t f, std::uint32_t b) {
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

inline std::uint32_t ScreenPixel(int x, int y) {
    TWindowDC dc(nullptr);
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// The pauses of a drag. Under X the pointer warps of SendInput come back as
// motion events a little later; pausing between the steps keeps them in
// order, as a hand would.
struct TDragPace {
    std::chrono::milliseconds First{200}, Settle{300}, Press{100}, Step{60}, Hold{200},
        Release{100};
    int Steps = 8;
};

inline void DragMouse(int x0, int y0, int x1, int y1, const TDragPace& pace = {}) {
    // A window just mapped reports X's own pointer position once: move
    // twice so the press lands where intended.
    MoveMouseTo(x0 + 1, y0 + 1);
    std::this_thread::sleep_for(pace.First);
    MoveMouseTo(x0, y0);
    std::this_thread::sleep_for(pace.Settle);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(pace.Press);
    for (int i = 1; i <= pace.Steps; ++i) {
        MoveMouseTo(x0 + (x1 - x0) * i / pace.Steps, y0 + (y1 - y0) * i / pace.Steps);
        std::this_thread::sleep_for(pace.Step);
    }
    std::this_thread::sleep_for(pace.Hold);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(pace.Release);
}

// The pattern as the open overlay shows it outside a selection.
inline std::uint32_t DimmedPattern(int x, int y) {
    return Blend(0x66353739, Pattern(x, y)) & 0xFFFFFF;
}

// A selection dragged over the pattern on the open overlay, waiting at each
// end for the overlay to show that the pointer has arrived (its hint box
// 15 px right of and below the pointer; then the selection reaching the far
// corner): under load a press or release can otherwise land before the
// pointer does, and the wrong region, or none, is selected.
inline ::testing::AssertionResult SelectRegion(int x0, int y0, int x1, int y1) {
    // A move made while the overlay is still being mapped reaches no window,
    // and X sends no new one while the pointer stands: move again until the
    // hint box shows. Every try ends at (x0, y0), and X keeps the order, so
    // the press below lands there.
    const auto hintShown = [&] {
        const std::uint32_t p = ScreenPixel(x0 + 20, y0 + 20);
        return p != Pattern(x0 + 20, y0 + 20) && p != DimmedPattern(x0 + 20, y0 + 20);
    };
    bool hint = false;
    for (int attempt = 0; attempt < 8 && !hint; ++attempt) {
        MoveMouseTo(x0 + 1, y0 + 1);
        std::this_thread::sleep_for(50ms);
        MoveMouseTo(x0, y0);
        hint = WaitUntil(hintShown, 400ms);
    }
    if (!hint)
        return ::testing::AssertionFailure()
               << "no hint box beside the pointer; grab: " << SaveScreenGrab("no-hint");
    // What the far corner shows dimmed; undimmed it differs, whatever
    // window stands there.
    const std::uint32_t dimmed = ScreenPixel(x1 - 10, y1 - 10);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(100ms);
    constexpr int Steps = 8;
    for (int i = 1; i <= Steps; ++i) {
        MoveMouseTo(x0 + (x1 - x0) * i / Steps, y0 + (y1 - y0) * i / Steps);
        std::this_thread::sleep_for(30ms);
    }
    // Clear of the corner's handle (6 px around the corner).
    const bool reached = WaitUntil([&] { return ScreenPixel(x1 - 10, y1 - 10) != dimmed; }, 3s);
    const std::string grab = reached ? "" : SaveScreenGrab("no-selection");
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(100ms);
    if (!reached)
        return ::testing::AssertionFailure()
               << "the selection did not reach the far corner; grab: " << grab;
    return ::testing::AssertionSuccess();
}

// On failure the message gives both colours and names a grab of the screen.
inline ::testing::AssertionResult ScreenPixelBecomes(int x, int y, std::uint32_t expected) {
    if (WaitUntil([&] { return ScreenPixel(x, y) == expected; }, 3s))
        return ::testing::AssertionSuccess();
    char what[96];
    std::snprintf(what, sizeof what, "screen (%d,%d) shows %06x instead of %06x; grab: ", x, y,
                  unsigned(ScreenPixel(x, y)), unsigned(expected));
    return ::testing::AssertionFailure() << what << SaveScreenGrab("screen");
}

// True once every pixel of the primary screen outside `skip` shows
// expected(x, y), read from one grab at a time. On failure the message counts
// the wrong pixels, gives the first, and names the grab and the expected
// picture (the grab with every checked pixel set to what it should be).
template <class F>
::testing::AssertionResult ScreenShowsEverywhere(F expected, const std::vector<RECT>& skip) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    TDibSection grab(w, h);
    const auto skipped = [&](int x, int y) {
        for (const RECT& r : skip)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
        return false;
    };
    long wrong = 0;
    int firstX = -1, firstY = -1;
    const auto check = [&] {
        TWindowDC screen(nullptr);
        ::BitBlt(grab.DC(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY);
        wrong = 0;
        for (int y = 0; y < h; ++y) {
            const TColor32* row = grab.Row(y);
            for (int x = 0; x < w; ++x)
                if ((row[x] & 0xFFFFFF) != expected(x, y) && !skipped(x, y) && !wrong++)
                    firstX = x, firstY = y;
        }
        return wrong == 0;
    };
    if (WaitUntil(check, 3s)) return ::testing::AssertionSuccess();
    TBitmap32 shown(w, h), want(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            shown.Row(y)[x] = grab.Row(y)[x] | 0xFF000000u;
            want.Row(y)[x] = skipped(x, y) ? shown.Row(y)[x] : (expected(x, y) | 0xFF000000u);
        }
    char what[128];
    std::snprintf(what, sizeof what, "%ld pixels wrong, the first (%d,%d) %06x instead of %06x; ",
                  wrong, firstX, firstY, unsigned(grab.Row(firstY)[firstX] & 0xFFFFFF),
                  unsigned(expected(firstX, firstY)));
    return ::testing::AssertionFailure() << what << "grab: " << SaveEvidenceImage("screen", shown)
                                         << ", expected: " << SaveEvidenceImage("expected", want);
}

// A window's rectangle on the screen, empty when it is not shown.
inline RECT ShownRect(HWND wnd) {
    RECT r{};
    if (wnd && ::IsWindowVisible(wnd)) ::GetWindowRect(wnd, &r);
    return r;
}

inline bool OverlayShown(const TKadrixProcess& p) {
    HWND overlay = p.FindWindowOfClass(L"TSetRegionForm");
    return overlay && ::IsWindowVisible(overlay);
}

// A click held as a hand holds it. The pointer goes there twice: a window
// just mapped can report X's stale pointer position for the first event.
inline void ClickAt(int x, int y) {
    MoveMouseTo(x + 1, y + 1);
    std::this_thread::sleep_for(200ms);
    MoveMouseTo(x, y);
    std::this_thread::sleep_for(300ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(100ms);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(100ms);
}

// The pattern over the whole screen, Kadrix started on a fresh settings key
// and the pattern in front, as a user's click would leave it: keyboard input
// reaches the hotkeys through the foreground window.
class TCaptureFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsKey(); }
    void TearDown() override {
        FKadrix.reset();
        ResetSettingsKey();
    }
    void StartKadrix() {
        FW = ::GetSystemMetrics(SM_CXSCREEN);
        FH = ::GetSystemMetrics(SM_CYSCREEN);
        FPattern = std::make_unique<TPatternWindow>(FW, FH);
        FKadrix = std::make_unique<TKadrixProcess>();
        ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
        ::SetForegroundWindow(FPattern->Handle());
        TPatternWindow::Pump(200ms);
        MoveMouseTo(FW - 5, FH - 5); // keep the hint box out of the samples
    }
    void StartCapture() {
        TapKey(VK_SNAPSHOT);
        ASSERT_TRUE(WaitUntil([&] { return OverlayShown(*FKadrix); }));
    }

    int FW = 0, FH = 0;
    std::unique_ptr<TPatternWindow> FPattern;
    std::unique_ptr<TKadrixProcess> FKadrix;
};
