#include "ui/TextLayout.h"

#include <algorithm>

namespace {
// Breaks one paragraph into lines of at most wrapWidth pixels, at spaces.
void WrapParagraph(std::wstring_view para, const TFontDesc& font, const TTextRasterizer& text,
                   int wrapWidth, std::vector<TTextLine>& out) {
    auto width = [&](std::wstring_view s) { return text.TextExtent(font, s).Width; };
    if (wrapWidth <= 0 || para.empty()) {
        out.push_back({std::wstring(para), para.empty() ? 0 : width(para)});
        return;
    }
    std::size_t start = 0;
    while (start < para.size()) {
        // Longest run of whole words from start that fits.
        std::size_t end = para.find(L' ', start);
        if (end == std::wstring_view::npos) end = para.size();
        std::size_t best = end; // the first word always stays on the line
        while (best < para.size()) {
            std::size_t next = para.find(L' ', best + 1);
            if (next == std::wstring_view::npos) next = para.size();
            if (width(para.substr(start, next - start)) > wrapWidth) break;
            best = next;
        }
        const std::wstring_view line = para.substr(start, best - start);
        out.push_back({std::wstring(line), width(line)});
        start = best;
        while (start < para.size() && para[start] == L' ')
            ++start; // spaces at a break vanish
    }
}
} // namespace

int TTextLayout::Width() const {
    int w = 0;
    for (const TTextLine& l : Lines)
        w = std::max(w, l.Width);
    return w;
}

TTextLayout LayoutText(std::wstring_view text, const TFontDesc& font,
                       const TTextRasterizer& rasterizer, int wrapWidth) {
    TTextLayout layout;
    layout.LineHeight = rasterizer.TextExtent(font, L"").Height;
    std::size_t start = 0;
    while (true) {
        std::size_t brk = text.find_first_of(L"\r\n", start);
        const std::wstring_view para =
            text.substr(start, brk == std::wstring_view::npos ? text.npos : brk - start);
        WrapParagraph(para, font, rasterizer, wrapWidth, layout.Lines);
        if (brk == std::wstring_view::npos) break;
        start = brk + 1;
        if (text[brk] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
    }
    return layout;
}
