#include "annotate/BasePLToolLayer.h"

#include "annotate/Base2PToolLayer.h"
#include "gfx/Stroker.h"
#include "settings/SettingsUnit.h"

#include <cstdlib>
#include <utility>

namespace {
constexpr std::uint32_t SampleInterval = 30; // ms
constexpr int SampleDistance = 5;            // px, exclusive
} // namespace

TBasePLToolLayer::TBasePLToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L,
                                   TTickCount tickCount)
    : TBaseToolLayer(imgv, DrawBitmap, L), FTickCount(std::move(tickCount)) {}

void TBasePLToolLayer::MouseDown(const TViewMouse& m) {
    if (m.Button != mbLeft || FDrawingLine) return;
    FLasTimeAdd = FTickCount();
    FDrawingLine = true;
    X1 = m.X;
    Y1 = m.Y;
    ln32.push_back(PixelCentre(m.X, m.Y));
}

void TBasePLToolLayer::MouseMove(const TViewMouse& m) {
    const std::uint32_t now = FTickCount();
    if (now - FLasTimeAdd < SampleInterval) return; // unsigned: survives the wrap
    FLasTimeAdd = now;
    if (!FDrawingLine) return;
    if (std::abs(X1 - m.X) <= SampleDistance && std::abs(Y1 - m.Y) <= SampleDistance) return;
    X1 = m.X;
    Y1 = m.Y;
    const TFloatPoint p = PixelCentre(m.X, m.Y);
    if (!ln32.empty() && ln32.back() == p) return;
    ln32.push_back(p);
    RenderShape();
}

void TBasePLToolLayer::MouseUp(const TViewMouse&) {
    if (!FDrawingLine) return;
    FDrawingLine = false;
    End();
}

void TBasePLToolLayer::RenderShape() {
    DrawStroke(float(Settings.penwidth), Settings.pencolor);
}

void TTrPLToolLayer::RenderShape() {
    DrawStroke(5.0f * float(Settings.penwidth), TranslucentColor(Settings.pencolor));
}

void TBasePLToolLayer::DrawStroke(float width, TColor32 colour) {
    const TStroker stroker{width, esRound, jsRound};
    std::vector<TPolygon> contours = stroker.Outline(ln32);
    TBitmap32& image = FDrawBitmap.Bitmap();
    TRect area = image.BoundsRect();
    const bool oneMore = FDrawnPoints > 0 && FDrawnPoints + 1 == ln32.size() &&
                         width == FDrawnWidth && colour == FDrawnColour;
    if (oneMore) {
        // Coverage changes only under the new segment and its end cap.
        const std::vector<TPolygon> segment =
            stroker.Outline(std::span(ln32).subspan(ln32.size() - 2));
        area = PolygonBounds(segment);
        FDrawBitmap.ClearArea(area);
    } else {
        FDrawBitmap.ClearDrawn();
    }
    FDrawnPoints = ln32.size();
    FDrawnWidth = width;
    FDrawnColour = colour;
    if (contours.empty()) return;
    if (oneMore) {
        // Pieces away from the new segment only cost the fill a sort.
        std::erase_if(contours, [&](const TPolygon& c) {
            return PolygonBounds(std::span(&c, 1)).Intersect(area).IsEmpty();
        });
    } else {
        area = PolygonBounds(contours);
    }
    PolygonFillAA(image, contours, colour, 16, area);
    FDrawBitmap.Drawn(area);
}
