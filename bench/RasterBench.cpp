// Throughput of the raster core on a 4K frame. Yardsticks: a plain copy of
// the frame for the per-pixel blend, and Cairo's image backend (same seeded
// polygons, non-zero rule, default/good anti-aliasing, OVER) for the polygon
// fill.
#include "BenchTurns.h"
#include "gfx/Bitmap32.h"
#include "gfx/PolygonFill.h"

#include <benchmark/benchmark.h>

#ifdef KADRIX_HAVE_CAIRO
#include <cairo.h>
#endif

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {
constexpr int FrameW = 3840, FrameH = 2160;
constexpr TColor32 DimColor = 0x66353739;
constexpr TColor32 Marker = 0xAFFF0000;

using TShape = std::vector<TPolygon>;

// 40 self-intersecting polygons of 12 random vertices, each within 400 px.
std::vector<TShape> RandomPolygons() {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> originX(0, FrameW - 400), originY(0, FrameH - 400),
        offset(0, 400);
    std::vector<TShape> shapes;
    for (int i = 0; i < 40; ++i) {
        const float ox = originX(rng), oy = originY(rng);
        TPolygon p;
        for (int v = 0; v < 12; ++v)
            p.push_back({ox + offset(rng), oy + offset(rng)});
        shapes.push_back({p});
    }
    return shapes;
}

// What the tools fill: a 25 px marker stroke as one union of segment quads
// and round joins, twenty 20 px stamp discs and one large disc.
std::vector<TShape> ThickShapes() {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> step(-40, 40), px(100, FrameW - 100),
        py(100, FrameH - 100);
    std::vector<TShape> shapes;
    TShape stroke;
    TFloatPoint at{FrameW / 2.0f, FrameH / 2.0f};
    const float half = 12.5f;
    for (int i = 0; i < 80; ++i) {
        const TFloatPoint next{at.X + step(rng), at.Y + step(rng)};
        const float dx = next.X - at.X, dy = next.Y - at.Y, len = std::hypot(dx, dy);
        if (len > 0) {
            const float nx = -dy / len * half, ny = dx / len * half;
            TPolygon quad{{at.X + nx, at.Y + ny},
                          {next.X + nx, next.Y + ny},
                          {next.X - nx, next.Y - ny},
                          {at.X - nx, at.Y - ny}};
            // Same orientation for every piece, so the union covers once.
            if (dx * ny - dy * nx < 0) quad = TPolygon(quad.rbegin(), quad.rend());
            stroke.push_back(quad);
        }
        stroke.push_back(DiscPolygon(next.X, next.Y, half));
        at = next;
    }
    shapes.push_back(stroke);
    for (int i = 0; i < 20; ++i)
        shapes.push_back({DiscPolygon(px(rng), py(rng), 20)});
    shapes.push_back({DiscPolygon(FrameW / 2.0f, FrameH / 2.0f, 800)});
    return shapes;
}

const std::vector<TShape>& Input(int which) {
    static const std::vector<TShape> random = RandomPolygons(), thick = ThickShapes();
    return which == 0 ? random : thick;
}

void BM_BlendColourOverFrame(benchmark::State& state) {
    TBitmap32 frame(FrameW, FrameH, 0xFF204060);
    for (auto _ : state) {
        frame.FillRectBlend(frame.BoundsRect(), DimColor);
        benchmark::DoNotOptimize(frame.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(FrameW) * FrameH * 4);
}
BENCHMARK(BM_BlendColourOverFrame)->Unit(benchmark::kMillisecond);

void BM_MemcpyFrame(benchmark::State& state) {
    const TBitmap32 src(FrameW, FrameH, 0xFF204060);
    TBitmap32 dst(FrameW, FrameH);
    for (auto _ : state) {
        std::memcpy(dst.Bits(), src.Bits(), std::size_t(FrameW) * FrameH * 4);
        benchmark::DoNotOptimize(dst.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(FrameW) * FrameH * 4);
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);

// Arguments: input (0 random polygons, 1 thick shapes), sub-samples.
void BM_PolygonFill(benchmark::State& state) {
    const auto& shapes = Input(int(state.range(0)));
    const int subsamples = int(state.range(1));
    TBitmap32 frame(FrameW, FrameH, 0xFFFFFFFF);
    for (auto _ : state) {
        for (const auto& s : shapes)
            PolygonFillAA(frame, s, Marker, subsamples);
        benchmark::DoNotOptimize(frame.Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PolygonFill)
    ->ArgNames({"input", "N"})
    ->Args({0, 16})
    ->Args({0, 32})
    ->Args({1, 16})
    ->Args({1, 32})
    ->Unit(benchmark::kMillisecond);

#ifdef KADRIX_HAVE_CAIRO
// Cairo drawing into a frame of ours: ARGB32 premultiplied is the same
// 32-bit word layout as TColor32.
class TCairoFiller {
public:
    TCairoFiller(TBitmap32& frame, cairo_antialias_t antialias)
        : FSurface(cairo_image_surface_create_for_data(
                       reinterpret_cast<unsigned char*>(frame.Bits()), CAIRO_FORMAT_ARGB32,
                       frame.Width(), frame.Height(), frame.Width() * 4),
                   &cairo_surface_destroy),
          FCairo(cairo_create(FSurface.get()), &cairo_destroy) {
        cairo_t* cr = FCairo.get();
        cairo_set_antialias(cr, antialias);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_set_source_rgba(cr, 1, 0, 0, 175 / 255.0);
    }

    void Fill(const std::vector<TShape>& shapes) {
        cairo_t* cr = FCairo.get();
        for (const auto& s : shapes) {
            cairo_new_path(cr);
            for (const auto& c : s) {
                if (c.empty()) continue;
                cairo_move_to(cr, c[0].X, c[0].Y);
                for (std::size_t i = 1; i < c.size(); ++i)
                    cairo_line_to(cr, c[i].X, c[i].Y);
                cairo_close_path(cr);
            }
            cairo_fill(cr);
        }
        cairo_surface_flush(FSurface.get());
    }

private:
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> FSurface;
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> FCairo;
};

// Arguments: input, cairo_antialias_t.
void BM_CairoFill(benchmark::State& state) {
    const auto& shapes = Input(int(state.range(0)));
    TBitmap32 frame(FrameW, FrameH, 0xFFFFFFFF);
    TCairoFiller cairo(frame, cairo_antialias_t(state.range(1)));
    for (auto _ : state) {
        cairo.Fill(shapes);
        benchmark::DoNotOptimize(frame.Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CairoFill)
    ->ArgNames({"input", "antialias"})
    ->Args({0, CAIRO_ANTIALIAS_DEFAULT})
    ->Args({0, CAIRO_ANTIALIAS_GOOD})
    ->Args({1, CAIRO_ANTIALIAS_DEFAULT})
    ->Args({1, CAIRO_ANTIALIAS_GOOD})
    ->Unit(benchmark::kMillisecond);

// Ours at 16 sub-samples and Cairo's good quality taken in turns, so both
// see the same machine load: the ratio is what the goal is judged on.
// Arguments: input.
void BM_FillAgainstCairo(benchmark::State& state) {
    const auto& shapes = Input(int(state.range(0)));
    TBitmap32 ours(FrameW, FrameH, 0xFFFFFFFF), theirs(FrameW, FrameH, 0xFFFFFFFF);
    TCairoFiller cairo(theirs, CAIRO_ANTIALIAS_GOOD);
    TimeInTurns(
        state, "ratio_to_cairo",
        [&] {
            for (const auto& s : shapes)
                PolygonFillAA(ours, s, Marker, 16);
            benchmark::DoNotOptimize(ours.Bits());
        },
        [&] {
            cairo.Fill(shapes);
            benchmark::DoNotOptimize(theirs.Bits());
        });
}
BENCHMARK(BM_FillAgainstCairo)
    ->ArgNames({"input"})
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
#endif
} // namespace
// kadrix_bench is one program built from every bench/*.cpp: main() is defined once, elsewhere.
