// Hotkey-to-overlay cost under the real window system: the overlay's grab and
// first paint against the bare desktop BitBlt of the same area, measured in
// one run. Prints the overhead ratio (overlay - blit) / blit.
#include "capture/SetRegionFormUnit_win.h"
#include "win32/DibSection_win.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
using TClock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

double BareBlitMs(int w, int h) {
    TDibSection dib(w, h);
    const auto t0 = TClock::now();
    {
        TWindowDC screen(::GetDesktopWindow());
        ::BitBlt(dib.DC(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    return std::chrono::duration<double, std::milli>(TClock::now() - t0).count();
}
} // namespace

int wmain() {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    TSetRegionWindow overlay;
    std::vector<double> blit, capture;
    for (int i = 0; i < 15; ++i) {
        blit.push_back(BareBlitMs(w, h));
        const auto t0 = TClock::now();
        overlay.Form().StartSelectRegion(0);
        ::UpdateWindow(overlay.Handle()); // the first paint is done when this returns
        ::GdiFlush();
        capture.push_back(std::chrono::duration<double, std::milli>(TClock::now() - t0).count());
        overlay.Form().Close();
        Pump();
    }
    const double b = Median(blit), c = Median(capture);
    std::printf("screen %dx%d: bare BitBlt %.2f ms, grab + first paint %.2f ms, overhead %.2fx "
                "the BitBlt\n",
                w, h, b, c, (c - b) / b);
    return 0;
}
