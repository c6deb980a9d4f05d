#pragma once
// The text box's frame: a dashed outline along the box that drags the box
// by its border band only (a press inside the text belongs to the text), with
// no resize handles. The text layer it frames follows every move.
#include "gfx/BitmapLayer.h"
#include "gfx/CustomLayer.h"
#include "gfx/Rect.h"

class TRubberBandLayerEx : public TCustomLayer {
public:
    explicit TRubberBandLayerEx(TImageView& view);

    // Width of the draggable band inside the box edge.
    int FMagrin = 10;
    // Moved with the frame; not owned.
    TBitmapLayer* ChildLayer = nullptr;

    const TRect& Location() const { return FLocation; }
    // Repaints and moves the child along.
    void SetLocation(const TRect& r);

    // The border band takes the press; inside the text and outside the box
    // nothing does.
    bool InBand(int x, int y) const;
    bool Dragging() const { return FDragging; }

    TRect Bounds() const override { return FLocation; }
    bool HitTest(int x, int y) const override { return InBand(x, y); }
    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;
    void MouseUp(const TViewMouse& m) override;
    void Paint(TBitmap32& buffer, const TRect& clip) override;

private:
    TRect FLocation;
    bool FDragging = false;
    int FShiftX = 0;
    int FShiftY = 0;
};
