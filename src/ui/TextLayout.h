#pragma once
// Multi-line text laid out the way the system's text box drawing does it:
// CR LF, CR and LF each end a line; with word wrap a line breaks at the last
// space that lets it fit, and a word wider than the box stays whole.
#include "gfx/Rect.h"
#include "gfx/TextRasterizer.h"

#include <string>
#include <vector>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TTextLine {
    std::wstring Text;
    int Width = 0;
};

struct TTextLayout {
    std::vector<TTextLine> Lines;
    int LineHeight = 0;

    int Width() const;
    int Height() const { return int(Lines.size()) * LineHeight; }
};

// wrapWidth <= 0 means no wrapping. An empty text is one empty line.
TTextLayout LayoutText(std::wstring_view text, const TFontDesc& font,
                       const TTextRasterizer& rasterizer, int wrapWidth = 0);
