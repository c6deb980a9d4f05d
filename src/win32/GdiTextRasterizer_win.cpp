#include "win32/GdiTextRasterizer_win.h"

#include "win32/DibSection_win.h"

#include <stdexcept>

TGdiTextRasterizer::TGdiTextRasterizer() : FDC(::CreateCompatibleDC(nullptr)) {
    if (!FDC) throw std::runtime_error("CreateCompatibleDC failed");
}

HFONT TGdiTextRasterizer::Font(const TFontDesc& font) const {
    auto key = std::make_tuple(font.Name, font.Size, font.Style, font.Height);
    auto it = FFonts.find(key);
    if (it != FFonts.end()) return it->second.get();
    // Points at 96 pixels per inch: sizes are pixels, never scaled with DPI.
    const int height = font.Height > 0 ? -font.Height : -::MulDiv(font.Size, 96, 72);
    HFONT f =
        ::CreateFontW(height, 0, 0, 0, (font.Style & fsBold) ? FW_BOLD : FW_NORMAL,
                      (font.Style & fsItalic) != 0, (font.Style & fsUnderline) != 0,
                      (font.Style & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, font.Name.c_str());
    if (!f) f = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    return FFonts.emplace(key, unique_font(f)).first->second.get();
}

TTextExtent TGdiTextRasterizer::TextExtent(const TFontDesc& font, std::wstring_view text) const {
    TSelectObject sel(FDC.get(), Font(font));
    SIZE size{};
    if (text.empty()) {
        TEXTMETRICW tm{};
        ::GetTextMetricsW(FDC.get(), &tm);
        return {0, tm.tmHeight};
    }
    ::GetTextExtentPoint32W(FDC.get(), text.data(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

TCoverageMask TGdiTextRasterizer::Render(const TFontDesc& font, std::wstring_view text, int width,
                                         int height) const {
    TCoverageMask mask(width, height);
    if (mask.Width == 0 || mask.Height == 0 || text.empty()) return mask;
    BITMAPINFO bmi = TopDownBitmapInfo(mask.Width, mask.Height);
    void* bits = nullptr;
    unique_bitmap dib(::CreateDIBSection(FDC.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return mask;
    {
        TSelectObject selBitmap(FDC.get(), dib.get());
        TSelectObject selFont(FDC.get(), Font(font));
        ::SetTextColor(FDC.get(), RGB(255, 255, 255));
        ::SetBkMode(FDC.get(), TRANSPARENT);
        ::TextOutW(FDC.get(), 0, 0, text.data(), static_cast<int>(text.size()));
        ::GdiFlush();
    }
    const auto* px = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < mask.Coverage.size(); ++i)
        mask.Coverage[i] = px[i] & 0xFF;
    return mask;
}
