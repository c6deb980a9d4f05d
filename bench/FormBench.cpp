// A dialog-sized form (681 x 439, the largest window) full of image buttons,
// labels and a combo box: what a hover change repaints, and a full repaint
// against one copy of the back buffer.
#include "BenchOverlay.h"
#include "BenchTurns.h"
#include "ui/Artwork.h"
#include "ui/Label.h"
#include "widgets/ImageButton.h"
#include "widgets/OrvikComboBox.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <list>

namespace {
struct TDialogForm {
    TBenchText Text;
    TForm Form{Text, 681, 439};
    std::list<TImageButton> Buttons;
    std::list<TLabel> Labels;
    TOrvikComboBox Combo{Form};

    TDialogForm() {
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < 8; ++col) {
                TImageButton& b = Buttons.emplace_back(Form);
                b.SetBounds(150 + col * 60, 20 + row * 60, 38, 38);
                b.SetNormalImage(TPicture(ArtPicture("tool.pen.normal")));
                b.SetMoveImage(TPicture(ArtPicture("tool.pen.hover")));
                b.SetDownImage(TPicture(ArtPicture("tool.pen.down")));
                TLabel& l = Labels.emplace_back(Form);
                l.SetBounds(150 + col * 60, 60 + row * 60, 0, 0);
                l.SetCaption(L"Подпись");
            }
        TImageButton& tab = Buttons.emplace_back(Form);
        tab.SetBounds(0, 0, 120, 107);
        tab.SetNormalImage(TPicture(ArtPicture("tab.main.normal")));
        Combo.SetBounds(150, 390, 120, 31);
        Combo.SetItems({L"PNG", L"JPG"});
        Combo.SetItemIndex(0);
        Form.PaintDirty();
    }
};

// Pixels composed per hover change, as a share of the window.
void BM_FormHoverRepaint(benchmark::State& state) {
    TDialogForm d;
    std::int64_t pixels = 0, changes = 0;
    int step = 0;
    for (auto _ : state) {
        const int col = step % 8, row = (step / 8) % 6;
        ++step;
        d.Form.MouseMove({150 + col * 60 + 19, 20 + row * 60 + 19, mbLeft, {}});
        for (const TRect& r : d.Form.PaintDirty())
            pixels += std::int64_t(r.Width()) * r.Height();
        ++changes;
    }
    state.counters["pixels_per_change"] = double(pixels) / double(changes);
    state.counters["share_of_window"] = double(pixels) / double(changes) / (681.0 * 439.0);
}
BENCHMARK(BM_FormHoverRepaint)->Unit(benchmark::kMicrosecond);

void BM_FormFullRepaintVsCopy(benchmark::State& state) {
    TDialogForm d;
    TBitmap32 copy(681, 439);
    TimeInTurns(
        state, "full_repaint_over_memcpy",
        [&] {
            d.Form.InvalidateAll();
            benchmark::DoNotOptimize(d.Form.PaintDirty());
        },
        [&] { std::memcpy(copy.Bits(), d.Form.Buffer().Bits(), sizeof(TColor32) * 681 * 439); });
}
BENCHMARK(BM_FormFullRepaintVsCopy)->UseManualTime()->Unit(benchmark::kMicrosecond);
} // namespace
