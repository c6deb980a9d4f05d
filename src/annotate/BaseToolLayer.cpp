#include "annotate/BaseToolLayer.h"

TBaseToolLayer::TBaseToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L)
    : TBitmapLayer(imgv), FImgView(imgv), FDrawBitmap(DrawBitmap) {
    FDrawBitmap.ClearDrawn();
    SetLocation(L);
    SetCursor(crCross);
}

void TBaseToolLayer::End() {
    if (OnEnd) OnEnd(this);
}

TFloatPoint PixelCentre(int x, int y) {
    return {float(x) + 0.5f, float(y) + 0.5f};
}
