// Typing into a text box on a 4K capture: one key as the overlay window
// handles it (the edit, the box redrawn, and the recomposition the window
// would blit), against one plain copy of the full frame. The repaint should
// cover the box, not the screen; the counters say how much it covered.
#include "BenchOverlay.h"

#include "annotate/TextEditToolLayer.h"
#include "settings/SettingsUnit.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

// range(0): characters already in the line; keys alternate between typing
// one more and deleting it, so the box keeps its size class.
void BM_TextToolKey(benchmark::State& state) {
    const TSettings saved = Settings;
    Settings.ShowRedact = true;
    TBenchHost host(ScreenW, ScreenH);
    TBenchText text;
    TSetRegionForm form(host, text);
    form.StartSelectRegion(0);
    form.View().MouseDown({60, 60, mbLeft, ssLeft});
    form.View().MouseMove({ScreenW - 60, ScreenH - 60, mbLeft, ssLeft});
    form.View().MouseUp({ScreenW - 60, ScreenH - 60, mbLeft, {}});
    form.AddTool(ctTextExit);
    form.View().MouseDown({1500, 1000, mbLeft, ssLeft});
    form.View().MouseUp({1500, 1000, mbLeft, {}});
    if (!form.TextTool() || !form.TextTool()->IsStateRedact()) {
        state.SkipWithError("no text box");
        Settings = saved;
        return;
    }
    for (int i = 0; i < state.range(0); ++i)
        form.KeyPress(L'a' + wchar_t(i % 26));
    form.View().ComposeDirty();

    double total = 0;
    long long repainted = 0;
    int n = 0;
    for (auto _ : state) {
        const auto t0 = TClock::now();
        form.KeyPress(n % 2 ? L'\b' : L'W');
        const std::vector<TRect> dirty = form.View().ComposeDirty();
        const double t = SecondsSince(t0);
        state.SetIterationTime(t);
        total += t;
        for (const TRect& r : dirty)
            repainted += (long long)r.Width() * r.Height();
        ++n;
    }
    state.counters["ratio_to_memcpy"] = total / n / FullFrameCopySeconds();
    state.counters["memcpy_us"] = FullFrameCopySeconds() * 1e6;
    state.counters["repaint_share_of_screen"] = double(repainted) / n / (double(ScreenW) * ScreenH);
    Settings = saved;
}
BENCHMARK(BM_TextToolKey)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
} // namespace
