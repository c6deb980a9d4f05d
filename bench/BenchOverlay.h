#pragma once
// The capture overlay without a window, for the benchmarks: one monitor whose
// grab is a plain colour, a tick clock the benchmark advances by hand, and a
// text rasteriser cheap enough to stay out of the measurements.
#include "capture/SetRegionForm.h"
#include "gfx/TextRasterizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

class TBenchText : public TTextRasterizer {
public:
    TTextExtent TextExtent(const TFontDesc&, std::wstring_view t) const override {
        return {int(t.size()) * 6, 13};
    }
    TCoverageMask Render(const TFontDesc&, std::wstring_view, int w, int h) const override {
        TCoverageMask m(w, h);
        for (std::size_t i = 0; i < m.Coverage.size(); i += 3)
            m.Coverage[i] = 200;
        return m;
    }
};

class TBenchHost : public TSetRegionHost {
public:
    TBenchHost(int w, int h) : W(w), H(h) {}
    bool OverlayShowing() const override { return Showing; }
    void ShowOverlay(const TRect&) override { Showing = true; }
    void HideOverlay() override { Showing = false; }
    void FocusOverlay() override {}
    TPoint PrimaryScreenSize() const override { return {W, H}; }
    std::vector<TRect> MonitorBounds() const override { return {{0, 0, W, H}}; }
    TBitmap32 GrabScreen(const TRect& a, bool) override {
        return TBitmap32(a.Width(), a.Height(), 0xFF336699);
    }
    std::optional<TRect> ForegroundWindowRect() const override { return std::nullopt; }
    TPoint CursorPos() const override { return Cursor; }
    void SetAppCursor(TCursorKind) override {}
    bool HotKeyEditorFocused() const override { return false; }
    std::uint32_t TickCount() const override { return Ticks; }
    TColor SysColorToRGB(TColor) const override { return 0; }
    int W, H;
    std::uint32_t Ticks = 0;
    bool Showing = false;
    TPoint Cursor{100, 100};
};

// A 4K screen, and one plain copy of its frame as the yardstick: the median
// of a few copies, measured once per run.
inline constexpr int ScreenW = 3840;
inline constexpr int ScreenH = 2160;

using TClock = std::chrono::steady_clock;

inline double SecondsSince(TClock::time_point t0) {
    return std::chrono::duration<double>(TClock::now() - t0).count();
}

inline double FullFrameCopySeconds() {
    static const double seconds = [] {
        const std::size_t bytes = std::size_t(ScreenW) * ScreenH * sizeof(TColor32);
        std::vector<unsigned char> src(bytes, 0x5A), dst(bytes);
        std::vector<double> runs;
        for (int i = 0; i < 21; ++i) {
            const auto t0 = TClock::now();
            std::memcpy(dst.data(), src.data(), bytes);
            benchmark::ClobberMemory();
            runs.push_back(SecondsSince(t0));
        }
        std::nth_element(runs.begin(), runs.begin() + 10, runs.end());
        return runs[10];
    }();
    return seconds;
}
