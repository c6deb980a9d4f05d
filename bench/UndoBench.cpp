// Cost of recording one numbering stamp (a 40x40 change) in the undo history
// of a 4K capture, against what a full snapshot per step would take: the
// bytes one step adds to the store, and the time of AddBitmap beside one
// plain copy of the whole frame.
#include "annotate/StoreListBitmap32.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {
constexpr int W = 3840, H = 2160;
constexpr TRect StampArea{1900, 1000, 1940, 1040};

TBitmap32 Screen() {
    TBitmap32 b(W, H);
    std::mt19937 rng(1);
    TColor32* p = b.Bits();
    for (std::size_t i = 0; i < b.Pixels().size(); ++i)
        p[i] = rng() | 0xFF000000u;
    return b;
}

// Alternates between the screen and the screen with a stamp, so every
// AddBitmap records a 40x40 step. The history grows by one step per
// iteration, as it does in a long session.
void BM_AddStampStep(benchmark::State& state) {
    const TBitmap32 plain = Screen();
    TBitmap32 stamped = plain;
    stamped.FillRect(StampArea, 0xFFE02020);
    TStoreListBitmap32 store;
    store.AddBitmap(plain, false);
    const std::size_t first = store.StoredBytes();
    bool odd = true;
    for (auto _ : state) {
        store.AddBitmap(odd ? stamped : plain, odd);
        odd = !odd;
    }
    const double perStep =
        double(store.StoredBytes() - first) / double(std::max(1, store.Count() - 1));
    const double full = double(W) * H * sizeof(TColor32);
    state.counters["step_bytes"] = perStep;
    state.counters["full_snapshot_bytes"] = full;
    state.counters["full_per_step_ratio"] = full / perStep;
}

// What a full snapshot per step costs at the least.
void BM_FullSnapshotCopy(benchmark::State& state) {
    const TBitmap32 src = Screen();
    TBitmap32 dst(W, H);
    for (auto _ : state) {
        std::memcpy(dst.Bits(), src.Bits(), src.Pixels().size() * sizeof(TColor32));
        benchmark::ClobberMemory();
    }
}

// The old way's real cost: a fresh snapshot, allocation and page faults
// included.
void BM_FullSnapshotAlloc(benchmark::State& state) {
    const TBitmap32 src = Screen();
    for (auto _ : state) {
        TBitmap32 copy = src;
        benchmark::DoNotOptimize(copy.Bits());
    }
}

// Undo and redo of the stamp step: two swaps of the 40x40 rectangle.
void BM_UndoRedoStampStep(benchmark::State& state) {
    TBitmap32 stamped = Screen();
    TStoreListBitmap32 store;
    store.AddBitmap(stamped, false);
    stamped.FillRect(StampArea, 0xFFE02020);
    store.AddBitmap(stamped, true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.UndoGet());
        benchmark::DoNotOptimize(store.RedoGet());
    }
}
} // namespace

BENCHMARK(BM_AddStampStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullSnapshotCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullSnapshotAlloc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoStampStep)->Unit(benchmark::kMicrosecond);
