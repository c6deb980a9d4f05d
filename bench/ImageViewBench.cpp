// Cost of one pointer move over the capture overlay: the hint box (about
// 150x40) follows the pointer by 5 px over a veil that darkens the whole
// screen, and the view recomposes only the dirty areas. The yardstick is one
// plain copy of the full frame, the least any full repaint would cost.
#include "gfx/BitmapLayer.h"
#include "gfx/ImageView.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {
constexpr TColor32 DimColor = 0x66353739;

class TVeilLayer : public TCustomLayer {
public:
    using TCustomLayer::TCustomLayer;
    void Paint(TBitmap32& buffer, const TRect& clip) override {
        buffer.FillRectBlend(clip, DimColor);
    }
};

class THintLayer : public TCustomLayer {
public:
    using TCustomLayer::TCustomLayer;
    void MoveTo(int x, int y) {
        Changed();
        FBox = {x, y, x + 150, y + 40};
        Changed();
    }
    TRect Bounds() const override { return {FBox.Left, FBox.Top, FBox.Right + 2, FBox.Bottom + 2}; }
    void Paint(TBitmap32& buffer, const TRect& clip) override {
        buffer.FillRect(FBox.Offset(2, 2).Intersect(clip), 0xFF808080);
        buffer.FillRect(FBox.Intersect(clip), 0xFFFFFFFF);
    }

private:
    TRect FBox{0, 0, 150, 40};
};

TBitmap32 Screen(int w, int h) {
    TBitmap32 b(w, h);
    std::mt19937 rng(1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Row(y)[x] = rng() | 0xFF000000u;
    return b;
}

// withDrawLayer adds the overlay's full-screen, transparent draw image below
// the veil, as it is during a capture.
void PointerMove(benchmark::State& state, bool withDrawLayer) {
    const int w = int(state.range(0)), h = int(state.range(1));
    TImageView view;
    view.SetBitmap(Screen(w, h));
    if (withDrawLayer) {
        auto* draw = view.AddLayer<TBitmapLayer>();
        draw->SetBitmap(TBitmap32(w, h, 0x00FFFFFF));
        draw->SetLocation(view.BoundsRect());
        draw->SetDrawMode(dmBlend);
    }
    view.AddLayer<TVeilLayer>();
    auto* hint = view.AddLayer<THintLayer>();
    view.ComposeDirty();

    int x = w / 2, step = 5;
    for (auto _ : state) {
        if (x > w - 200 || x < 50) step = -step;
        x += step;
        hint->MoveTo(x, h / 2 + (x & 8));
        benchmark::DoNotOptimize(view.ComposeDirty());
    }
}

void BM_PointerMove(benchmark::State& state) {
    PointerMove(state, false);
}

void BM_PointerMoveWithDrawLayer(benchmark::State& state) {
    PointerMove(state, true);
}

void BM_FullFrameCopy(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const TBitmap32 src = Screen(w, h);
    TBitmap32 dst(w, h);
    for (auto _ : state) {
        std::memcpy(dst.Bits(), src.Bits(), std::size_t(w) * std::size_t(h) * sizeof(TColor32));
        benchmark::ClobberMemory();
    }
}

// What repainting everything on each move would cost instead.
void BM_FullCompose(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    TImageView view;
    view.SetBitmap(Screen(w, h));
    view.AddLayer<TVeilLayer>();
    view.AddLayer<THintLayer>()->MoveTo(w / 2, h / 2);
    for (auto _ : state) {
        view.Compose(view.BoundsRect());
        benchmark::ClobberMemory();
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
}
} // namespace

BENCHMARK(BM_PointerMove)->Apply(Sizes);
BENCHMARK(BM_PointerMoveWithDrawLayer)->Apply(Sizes);
BENCHMARK(BM_FullFrameCopy)->Apply(Sizes);
BENCHMARK(BM_FullCompose)->Apply(Sizes);

BENCHMARK_MAIN();
