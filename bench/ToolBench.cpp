// The annotation tools on a 4K capture, driven through the overlay the way
// the window drives it: what one mouse move costs including the recomposition
// the window would blit, what a freehand stroke costs per point as it grows,
// and what the commit on release costs. Each result is also given as a ratio
// to a yardstick measured in the same run (one plain copy of the full frame,
// or one 60 Hz frame), so runs on different machines compare.
#include "BenchOverlay.h"

#include "annotate/BasePLToolLayer.h"
#include "settings/SettingsUnit.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {
constexpr double FrameSeconds = 1.0 / 60;

// A 4K overlay with a selection over nearly the whole screen and the editor
// open, as after a capture.
class TToolRig {
public:
    explicit TToolRig(TCurTool tool) : FSaved(Settings) {
        Settings.ShowRedact = true;
        Settings.penwidth = 5;
        Settings.pencolor = 0xFFFF0000;
        Form.StartSelectRegion(0);
        Press({60, 60});
        Move({1000, 600});
        Move({ScreenW - 60, ScreenH - 60});
        Release({ScreenW - 60, ScreenH - 60});
        Ready = Form.CurTypeTool() == ctArrow;
        Form.AddTool(tool);
        Form.View().ComposeDirty();
    }

    ~TToolRig() { Settings = FSaved; }
    TToolRig(const TToolRig&) = delete;
    TToolRig& operator=(const TToolRig&) = delete;

    void Press(TPoint p) { Form.View().MouseDown({p.X, p.Y, mbLeft, ssLeft}); }
    void Move(TPoint p) { Form.View().MouseMove({p.X, p.Y, mbLeft, ssLeft}); }
    void Release(TPoint p) { Form.View().MouseUp({p.X, p.Y, mbLeft, {}}); }
    void Compose() { benchmark::DoNotOptimize(Form.View().ComposeDirty()); }

    // Back to the unedited screen, so every round starts alike and the
    // history holds one step however many strokes were committed.
    void UndoCommit() {
        Form.Undo();
        Compose();
    }

    TBenchHost Host{ScreenW, ScreenH};
    TBenchText Text;
    TSetRegionForm Form{Host, Text};
    bool Ready = false;

private:
    TSettings FSaved;
};

// range(0) is the drag's horizontal extent; the end point alternates
// between two places 300 px apart, so every move changes the shape.
void BM_ToolDrag(benchmark::State& state, TCurTool tool) {
    TToolRig rig(tool);
    if (!rig.Ready) {
        state.SkipWithError("the editor did not open");
        return;
    }
    const int span = int(state.range(0));
    const TPoint start{800, 600};
    const TPoint ends[2] = {{start.X + span, start.Y + span * 9 / 16},
                            {start.X + span + 300, start.Y + span * 9 / 16}};
    rig.Press(start);
    rig.Move(ends[0]);
    rig.Compose();
    double total = 0;
    int n = 0;
    for (auto _ : state) {
        const TPoint e = ends[++n % 2];
        const auto t0 = TClock::now();
        rig.Move(e);
        rig.Compose();
        const double t = SecondsSince(t0);
        state.SetIterationTime(t);
        total += t;
    }
    state.counters["ratio_to_memcpy"] = total / n / FullFrameCopySeconds();
    state.counters["memcpy_us"] = FullFrameCopySeconds() * 1e6;
}

void ShapeArgs(benchmark::internal::Benchmark* b) {
    b->Arg(300)->Arg(2400)->UseManualTime()->Unit(benchmark::kMicrosecond);
}
BENCHMARK_CAPTURE(BM_ToolDrag, Line, ctLine)->Apply(ShapeArgs);
BENCHMARK_CAPTURE(BM_ToolDrag, Arrow, ctArrow)->Apply(ShapeArgs);
BENCHMARK_CAPTURE(BM_ToolDrag, Rect, ctRect)->Apply(ShapeArgs);

// A freehand path over most of the screen that crosses itself many times
// (a 3:2 Lissajous figure), sampled every Step px on its longer axis so each
// point passes the tool's distance threshold.
std::vector<TPoint> MarkerPath(int points) {
    constexpr int Step = 28;
    const auto at = [](double t) {
        return TPoint{int(std::lround(ScreenW / 2 + 1700 * std::sin(3 * t + 0.7))),
                      int(std::lround(ScreenH / 2 + 900 * std::cos(2 * t)))};
    };
    std::vector<TPoint> path{at(0)};
    for (double t = 0; int(path.size()) < points; t += 1e-4) {
        const TPoint p = at(t);
        if (std::max(std::abs(p.X - path.back().X), std::abs(p.Y - path.back().Y)) >= Step)
            path.push_back(p);
    }
    return path;
}

constexpr int StrokePoints = 500;
constexpr std::uint32_t SampleGap = 33; // ms, above the tool's 30 ms

// Presses at path[0] and adds one point per move, each after a sampling gap.
// Returns the time of every move, recomposition included.
std::vector<double> DrawStroke(TToolRig& rig, const std::vector<TPoint>& path) {
    rig.Host.Ticks += 1000;
    rig.Press(path[0]);
    rig.Compose();
    std::vector<double> times;
    times.reserve(path.size());
    for (std::size_t i = 1; i < path.size(); ++i) {
        rig.Host.Ticks += SampleGap;
        const auto t0 = TClock::now();
        rig.Move(path[i]);
        rig.Compose();
        times.push_back(SecondsSince(t0));
    }
    return times;
}

bool WholeStroke(const TToolRig& rig, std::size_t points) {
    const auto* layer = dynamic_cast<const TBasePLToolLayer*>(rig.Form.CurTool());
    return layer && layer->Points().size() == points;
}

// One iteration is one marker stroke of StrokePoints added points; the
// counters give the mean point and the last one, against a 60 Hz frame.
void BM_ToolMarkerStroke(benchmark::State& state) {
    TToolRig rig(ctTrPen);
    if (!rig.Ready) {
        state.SkipWithError("the editor did not open");
        return;
    }
    const std::vector<TPoint> path = MarkerPath(StrokePoints + 1);
    double total = 0, last = 0, worst = 0;
    int strokes = 0;
    for (auto _ : state) {
        const std::vector<double> times = DrawStroke(rig, path);
        if (!WholeStroke(rig, path.size())) {
            state.SkipWithError("a move did not add a point");
            return;
        }
        double stroke = 0;
        for (const double t : times)
            stroke += t;
        state.SetIterationTime(stroke);
        total += stroke;
        last += times.back();
        worst = std::max(worst, *std::max_element(times.begin(), times.end()));
        ++strokes;
        rig.Release(path.back());
        rig.UndoCommit();
    }
    const double perPoint = total / strokes / StrokePoints;
    state.counters["point_ms"] = perPoint * 1e3;
    state.counters["point_ratio_to_frame"] = perPoint / FrameSeconds;
    state.counters["last_point_ms"] = last / strokes * 1e3;
    state.counters["last_point_ratio_to_frame"] = last / strokes / FrameSeconds;
    state.counters["max_point_ms"] = worst * 1e3;
    state.counters["max_point_ratio_to_frame"] = worst / FrameSeconds;
}
BENCHMARK(BM_ToolMarkerStroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

// The release of a finished stroke: flattening into the working image, the
// undo step, the next layer and the repaint that follows.
void CommitAfter(benchmark::State& state, TToolRig& rig,
                 const std::function<TPoint()>& drawStroke) {
    if (!rig.Ready) {
        state.SkipWithError("the editor did not open");
        return;
    }
    double total = 0;
    int n = 0;
    for (auto _ : state) {
        const TPoint end = drawStroke();
        const int step = rig.Form.History().Position();
        const auto t0 = TClock::now();
        rig.Release(end);
        rig.Compose();
        const double t = SecondsSince(t0);
        if (rig.Form.History().Position() != step + 1) {
            state.SkipWithError("the release did not commit");
            return;
        }
        state.SetIterationTime(t);
        total += t;
        ++n;
        rig.UndoCommit();
    }
    state.counters["ratio_to_memcpy"] = total / n / FullFrameCopySeconds();
}

void BM_ToolCommitMarker(benchmark::State& state) {
    TToolRig rig(ctTrPen);
    const std::vector<TPoint> path = MarkerPath(StrokePoints + 1);
    CommitAfter(state, rig, [&] {
        DrawStroke(rig, path);
        return path.back();
    });
}
BENCHMARK(BM_ToolCommitMarker)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_ToolCommitLine(benchmark::State& state) {
    TToolRig rig(ctLine);
    CommitAfter(state, rig, [&] {
        rig.Press({800, 600});
        rig.Move({3200, 1950});
        rig.Compose();
        return TPoint{3200, 1950};
    });
}
BENCHMARK(BM_ToolCommitLine)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ToolFullFrameMemcpy(benchmark::State& state) {
    const std::size_t bytes = std::size_t(ScreenW) * ScreenH * sizeof(TColor32);
    std::vector<unsigned char> src(bytes, 0x5A), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ToolFullFrameMemcpy)->Unit(benchmark::kMicrosecond);
} // namespace
