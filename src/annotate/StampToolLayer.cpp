#include "annotate/StampToolLayer.h"

#include "annotate/StampNumber.h"
#include "gfx/PolygonFill.h"
#include "gfx/TextRasterizer.h"
#include "settings/SettingsUnit.h"

#include <string>

TStampToolLayer::TStampToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L,
                                 const TTextRasterizer& text)
    : TBaseToolLayer(imgv, DrawBitmap, L), FText(text) {}

void TStampToolLayer::MouseDown(const TViewMouse& m) {
    TBitmap32& image = FDrawBitmap.Bitmap();
    // The disc is centred on the corner the 40 x 40 text box is centred on.
    const TRect disc = FillDiscAA(image, float(m.X), float(m.Y), float(Radius), Settings.pencolor);
    TFontDesc font = DefaultDialogFont();
    font.Size = FontSize;
    const TRect box{m.X - Radius, m.Y - Radius, m.X + Radius, m.Y + Radius};
    const TRect text =
        DrawTextInRect(image, box, std::to_wstring(StampNumber), false, 2, 0xFFFFFFFF, font, FText);
    ++StampNumber;
    FDrawBitmap.Drawn(disc.Union(text));
    End();
}
