#pragma once
// The capture overlay without a window, for the benchmarks: one monitor whose
// grab is a plain colour, a tick clock the benchmark advances by hand, and a
// text rasteriser cheap enough to stay out of the measurements.
#include "capture/SetRegionForm.h"
#include "gfx/TextRasterizer.h"

#include <cstdint>
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
