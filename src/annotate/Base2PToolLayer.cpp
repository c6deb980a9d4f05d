#include "annotate/Base2PToolLayer.h"

#include "gfx/Arrow.h"
#include "gfx/BoxBlur.h"
#include "gfx/ImageView.h"
#include "gfx/Stroker.h"
#include "settings/SettingsUnit.h"

#include <algorithm>
#include <cstdlib>

void TBase2PToolLayer::MouseDown(const TViewMouse& m) {
    if (FStopDrawing) return;
    FStartPoint = FEndPoint = {m.X, m.Y};
    FDrawingLine = true;
}

void TBase2PToolLayer::MouseMove(const TViewMouse& m) {
    if (!FDrawingLine) return;
    FEndPoint = {m.X, m.Y};
    RenderShape();
}

void TBase2PToolLayer::MouseUp(const TViewMouse& m) {
    if (!FDrawingLine) return;
    FEndPoint = {m.X, m.Y};
    FDrawingLine = false;
    if (std::abs(FEndPoint.X - FStartPoint.X) < 1 && std::abs(FEndPoint.Y - FStartPoint.Y) < 1) {
        // Nothing is committed, so nothing of the drag may stay on screen.
        FDrawBitmap.ClearDrawn();
        return;
    }
    FStopDrawing = true;
    RenderShape();
    End();
}

void TBase2PToolLayer::RenderShape() {
    if (FDrawingLine) FDrawBitmap.ClearDrawn();
}

TRect TBase2PToolLayer::ShapeRect() const {
    return TRect{FStartPoint.X, FStartPoint.Y, FEndPoint.X, FEndPoint.Y}.Normalized();
}

void TLineToolLayer::RenderShape() {
    TBase2PToolLayer::RenderShape();
    const TFloatPoint line[] = {PixelCentre(FStartPoint.X, FStartPoint.Y),
                                PixelCentre(FEndPoint.X, FEndPoint.Y)};
    const TStroker stroker{float(Settings.penwidth), esButt, jsBevel};
    FDrawBitmap.Drawn(stroker.Draw(FDrawBitmap.Bitmap(), line, Settings.pencolor, 16));
}

void TLineArrowToolLayer::RenderShape() {
    TBase2PToolLayer::RenderShape();
    // The release does not draw again: the last move's arrow is committed.
    if (!FDrawingLine) return;
    const TArrow arrow(PixelCentre(FStartPoint.X, FStartPoint.Y),
                       PixelCentre(FEndPoint.X, FEndPoint.Y), float(Settings.penwidth));
    FDrawBitmap.Drawn(arrow.Draw(FDrawBitmap.Bitmap(), Settings.pencolor, 32));
}

void TRectToolLayer::RenderShape() {
    TBase2PToolLayer::RenderShape();
    const TFloatPoint s = PixelCentre(FStartPoint.X, FStartPoint.Y);
    const TFloatPoint e = PixelCentre(FEndPoint.X, FEndPoint.Y);
    const TFloatPoint path[] = {s, {e.X, s.Y}, e, {s.X, e.Y}, s};
    const TStroker stroker{float(Settings.penwidth), esRound, jsRound};
    FDrawBitmap.Drawn(stroker.Draw(FDrawBitmap.Bitmap(), path, Settings.pencolor, 16));
}

void TLightToolLayer::RenderShape() {
    TBase2PToolLayer::RenderShape();
    if (!FDrawingLine) return;
    const TRect r = ShapeRect();
    FDrawBitmap.Bitmap().FillRectBlend(r, TranslucentColor(Settings.pencolor));
    FDrawBitmap.Drawn(r);
}

void TFillToolLayer::RenderShape() {
    TBase2PToolLayer::RenderShape();
    const TRect r = ShapeRect();
    FDrawBitmap.Bitmap().FillRectBlend(r, Settings.pencolor);
    FDrawBitmap.Drawn(r);
}

void TRectGaussToolLayer::RenderShape() {
    FDrawBitmap.ClearDrawn();
    const TRect r = ShapeRect();
    if (r.IsEmpty()) return;
    // From the committed image, so earlier strokes are blurred with the screen.
    TBitmap32 part(r.Width(), r.Height());
    part.Draw(0, 0, FImgView.Bitmap(), r);
    if (r.Width() > 5 && r.Height() > 5) BoxBlur(part, 5);
    for (TColor32 *p = part.Bits(), *end = p + std::size_t(part.Width()) * part.Height(); p != end;
         ++p)
        *p |= 0xFF000000u;
    FDrawBitmap.Bitmap().Draw(r.Left, r.Top, part);
    FDrawBitmap.Drawn(r);
}
