#pragma once
// Deterministic text rasteriser for tests. Every character takes an advance
// of 3/4 of the point size (at least 2 px) and the line is 3/2 of the point
// size high (at least 1 px); a glyph is a solid box filling its advance less
// a 1-pixel gap on the right, except a space, which is empty. Style bits do
// not change the metrics; a pixel Height stands in for the point size. Calls
// are counted.
#include "gfx/TextRasterizer.h"

#include <algorithm>

class TFakeTextRasterizer : public TTextRasterizer {
public:
    static int Em(const TFontDesc& f) { return f.Height > 0 ? f.Height : f.Size; }
    static int Advance(const TFontDesc& f) { return std::max(2, (Em(f) * 3 + 3) / 4); }
    static int LineHeight(const TFontDesc& f) { return std::max(1, (Em(f) * 3 + 1) / 2); }

    TTextExtent TextExtent(const TFontDesc& font, std::wstring_view text) const override {
        ++ExtentCalls;
        return {int(text.size()) * Advance(font), LineHeight(font)};
    }

    TCoverageMask Render(const TFontDesc& font, std::wstring_view text, int width,
                         int height) const override {
        ++RenderCalls;
        LastFont = font;
        TCoverageMask mask(width, height);
        const int adv = Advance(font), h = std::min(mask.Height, LineHeight(font));
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L' ') continue;
            const int left = int(i) * adv, right = std::min(mask.Width, left + adv - 1);
            for (int y = 0; y < h; ++y)
                for (int x = left; x < right; ++x)
                    mask.Coverage[std::size_t(y) * std::size_t(mask.Width) + std::size_t(x)] = 255;
        }
        return mask;
    }

    mutable int ExtentCalls = 0;
    mutable int RenderCalls = 0;
    mutable TFontDesc LastFont;
};
