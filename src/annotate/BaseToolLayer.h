#pragma once
// A drawing tool of the capture overlay: a short-lived layer over the
// selection that takes the mouse there, draws its shape into the shared draw
// image and, when the stroke is complete, raises OnEnd so the overlay commits
// it. The commit frees the layer, so raising OnEnd is always the last thing
// a handler does.
#include "annotate/DrawImageLayer.h"
#include "gfx/FloatPoint.h"

#include <functional>

enum TCurTool {
    ctNone,
    ctLine,
    ctArrow,
    ctRect,
    ctFillRect,
    ctRectGaus,
    ctPen,
    ctTrRect,
    ctTrPen,
    ctTextExit,
    ctStamp
};

class TBaseToolLayer : public TBitmapLayer {
public:
    using TNotifyEvent = std::function<void(TBaseToolLayer* Sender)>;

    // Empties the draw image: a new tool never shows an old, uncommitted
    // stroke. L is the selection in view pixels.
    TBaseToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L);

    TNotifyEvent OnEnd;

    // A text box is being edited (the text tool overrides this): undo, redo
    // and Esc commit it first.
    virtual bool IsStateRedact() const { return false; }

protected:
    // Raises OnEnd; the layer may be gone when this returns.
    void End();

    TImageView& FImgView;
    TDrawImageLayer& FDrawBitmap;
};

// A mouse position as the centre of its pixel, where strokes are anchored so
// that odd widths cover whole pixels.
TFloatPoint PixelCentre(int x, int y);
