#pragma once
// The numbering stamp: every press, with any button, places a disc in the
// pen colour with StampNumber in white and commits it at once, marked as a
// stamp step so undo and redo keep the numbering in step.
#include "annotate/BaseToolLayer.h"

class TTextRasterizer;

class TStampToolLayer : public TBaseToolLayer {
public:
    static constexpr int Radius = 20;
    static constexpr int FontSize = 23; // points

    TStampToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L,
                    const TTextRasterizer& text);

    void MouseDown(const TViewMouse& m) override;

private:
    const TTextRasterizer& FText;
};
