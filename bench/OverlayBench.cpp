// Pointer-move repaint of the real capture overlay (selection layer with its
// hint box over the darkened frame) against one full-frame copy.
#include "capture/SetRegionForm.h"
#include "gfx/TextRasterizer.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {
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

void BM_OverlayPointerMove(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    TBenchHost host(w, h);
    TBenchText text;
    TSetRegionForm form(host, text);
    form.StartSelectRegion(0);
    form.View().ComposeDirty();
    int step = 0;
    for (auto _ : state) {
        host.Cursor = {200 + (step % 200) * 5, 300 + (step % 50)};
        ++step;
        form.View().MouseMove({host.Cursor.X, host.Cursor.Y, mbLeft, {}});
        benchmark::DoNotOptimize(form.View().ComposeDirty());
    }
}
BENCHMARK(BM_OverlayPointerMove)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

void BM_OverlayFullFrameCopy(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    TBitmap32 src(w, h, 0xFF336699), dst(w, h);
    for (auto _ : state) {
        std::memcpy(dst.Bits(), src.Bits(), std::size_t(w) * h * sizeof(TColor32));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OverlayFullFrameCopy)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);
} // namespace
