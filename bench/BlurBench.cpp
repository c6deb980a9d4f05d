// The blur rectangle re-blurs its region on every mouse move, so a
// full-screen 4K blur is measured against a plain copy of the same frame.
#include "BenchTurns.h"
#include "gfx/BoxBlur.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {
constexpr int BlurW = 3840, BlurH = 2160;

TBitmap32 NoiseFrame() {
    TBitmap32 b(BlurW, BlurH);
    std::mt19937 rng(99);
    for (TColor32* p = b.Bits(); p != b.Bits() + std::size_t(BlurW) * BlurH; ++p)
        *p = TColor32(rng());
    return b;
}

void BM_BoxBlurFrame(benchmark::State& state) {
    const TBitmap32 source = NoiseFrame();
    TBitmap32 work = source;
    for (auto _ : state) {
        BoxBlur(work, 5);
        benchmark::DoNotOptimize(work.Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BoxBlurFrame)->Unit(benchmark::kMillisecond);

void BM_MemcpyBlurFrame(benchmark::State& state) {
    const TBitmap32 source = NoiseFrame();
    TBitmap32 work(BlurW, BlurH);
    for (auto _ : state) {
        std::memcpy(work.Bits(), source.Bits(), std::size_t(BlurW) * BlurH * 4);
        benchmark::DoNotOptimize(work.Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyBlurFrame)->Unit(benchmark::kMillisecond);

// The blur and a copy of the same frame in turns, so both see the same
// machine load: the ratio is what the goal is judged on.
void BM_BoxBlurAgainstMemcpy(benchmark::State& state) {
    const TBitmap32 source = NoiseFrame();
    TBitmap32 work = source, copy(BlurW, BlurH);
    TimeInTurns(
        state, "ratio_to_memcpy",
        [&] {
            BoxBlur(work, 5);
            benchmark::DoNotOptimize(work.Bits());
        },
        [&] {
            std::memcpy(copy.Bits(), source.Bits(), std::size_t(BlurW) * BlurH * 4);
            benchmark::DoNotOptimize(copy.Bits());
        });
}
BENCHMARK(BM_BoxBlurAgainstMemcpy)->UseManualTime()->Unit(benchmark::kMillisecond);
} // namespace
