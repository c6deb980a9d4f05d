#pragma once
// The system's text renderer behind TTextRasterizer: GDI fonts (cached by
// face, size and style) measured and drawn white on black into a DIB.
#include "gfx/TextRasterizer.h"
#include "win32/Handles_win.h"

#include <map>
#include <tuple>

class TGdiTextRasterizer final : public TTextRasterizer {
public:
    TGdiTextRasterizer();
    TTextExtent TextExtent(const TFontDesc& font, std::wstring_view text) const override;
    TCoverageMask Render(const TFontDesc& font, std::wstring_view text, int width,
                         int height) const override;

private:
    HFONT Font(const TFontDesc& font) const;

    unique_mem_dc FDC;
    mutable std::map<std::tuple<std::wstring, int, unsigned, int>, unique_font> FFonts;
};
