#pragma once
// The shape tools: press, drag, release. The base collects the two points and
// commits on a release that moved; each subclass renders its shape from
// FStartPoint to FEndPoint with the current colour and width.
#include "annotate/BaseToolLayer.h"
#include "gfx/Point.h"

class TBase2PToolLayer : public TBaseToolLayer {
public:
    using TBaseToolLayer::TBaseToolLayer;

    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;
    void MouseUp(const TViewMouse& m) override;

    // Empties the draw image while a drag is in progress; subclasses draw
    // their shape after it.
    virtual void RenderShape();

protected:
    // xmin, ymin, xmax, ymax of the two points, right and bottom excluded.
    TRect ShapeRect() const;

    TPoint FStartPoint;
    TPoint FEndPoint;
    bool FDrawingLine = false;
    bool FStopDrawing = false;
};

class TLineToolLayer : public TBase2PToolLayer {
public:
    using TBase2PToolLayer::TBase2PToolLayer;
    void RenderShape() override;
};

class TLineArrowToolLayer : public TBase2PToolLayer {
public:
    using TBase2PToolLayer::TBase2PToolLayer;
    void RenderShape() override;
};

class TRectToolLayer : public TBase2PToolLayer {
public:
    using TBase2PToolLayer::TBase2PToolLayer;
    void RenderShape() override;
};

// The colour at alpha 175, not anti-aliased.
class TLightToolLayer : public TBase2PToolLayer {
public:
    using TBase2PToolLayer::TBase2PToolLayer;
    void RenderShape() override;
};

class TFillToolLayer : public TBase2PToolLayer {
public:
    using TBase2PToolLayer::TBase2PToolLayer;
    void RenderShape() override;
};

// A blurred copy of the committed image under the rectangle, live while
// dragging.
class TRectGaussToolLayer : public TBase2PToolLayer {
public:
    using TBase2PToolLayer::TBase2PToolLayer;
    void RenderShape() override;
};

// The colour of the translucent tools: alpha replaced by 175.
constexpr TColor32 TranslucentColor(TColor32 c) {
    return (c & 0x00FFFFFFu) | 0xAF000000u;
}
