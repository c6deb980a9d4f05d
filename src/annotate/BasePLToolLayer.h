#pragma once
// The freehand tools: the pen and, derived from it, the marker. While the
// left button is held the mouse is sampled at most every 30 ms and only
// where it moved more than 5 px on an axis; the stroke is one polyline with
// round caps and joins, filled as one shape, so a translucent stroke keeps
// one alpha level where it crosses itself. The release commits it.
#include "annotate/BaseToolLayer.h"

#include <cstdint>
#include <functional>
#include <vector>

// Milliseconds since some fixed start; wraps around.
using TTickCount = std::function<std::uint32_t()>;

class TBasePLToolLayer : public TBaseToolLayer {
public:
    TBasePLToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L,
                     TTickCount tickCount);

    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;
    void MouseUp(const TViewMouse& m) override;

    // Draws the stroke with the pen's width and colour.
    virtual void RenderShape();

    const std::vector<TFloatPoint>& Points() const { return ln32; }

protected:
    // Brings the draw image to the whole stroke in this width and colour.
    // After one more point only the newest segment's area is redrawn, which
    // gives the same pixels as clearing and filling the whole stroke.
    void DrawStroke(float width, TColor32 colour);

    bool FDrawingLine = false;
    int X1 = 0;
    int Y1 = 0;
    std::vector<TFloatPoint> ln32;
    std::uint32_t FLasTimeAdd = 0;

private:
    TTickCount FTickCount;
    // What the draw image holds: the first FDrawnPoints points of ln32 in
    // this width and colour.
    std::size_t FDrawnPoints = 0;
    float FDrawnWidth = 0;
    TColor32 FDrawnColour = 0;
};

// Five times the pen's width, at alpha 175.
class TTrPLToolLayer : public TBasePLToolLayer {
public:
    using TBasePLToolLayer::TBasePLToolLayer;
    void RenderShape() override;
};
