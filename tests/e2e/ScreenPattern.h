#pragma once
// A known picture on the whole screen and the moves a user makes over it,
// shared by the tests that capture the screen.
#include "KadrixProcess.h"

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

inline std::uint32_t Pattern(int x, int y) {
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

inline std::uint32_t ScreenPixel(int x, int y) {
    TWindowDC dc(nullptr);
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// Under X the pointer warps of SendInput come back as motion events a little
// later; pausing between the steps keeps them in order, as a hand would.
inline void DragMouse(int x0, int y0, int x1, int y1) {
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
