// Pointer-move repaint of the real capture overlay (selection layer with its
// hint box over the darkened frame) against one full-frame copy.
#include "BenchOverlay.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {
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
