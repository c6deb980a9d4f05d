#include "ui/Shape.h"

void TShape::Paint(TCanvas& canvas) {
    canvas.FillRect(ClientRect(), Color32FromColor(BrushColor));
    canvas.FrameRect(ClientRect(), Color32FromColor(PenColor), PenWidth);
    TGraphicControl::Paint(canvas);
}
