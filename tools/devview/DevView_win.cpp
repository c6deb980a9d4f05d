// Developer view: draws every artwork picture, every control in its states
// and every window into PNG files, with the system's own text renderer and
// the shipped fonts, so all of them can be looked at side by side.
//   kadrix_devview.exe [output folder]   (default: devview beside the exe)
#include "Sheet.h"
#include "Views.h"
#include "app/FontFolder.h"
#include "codecs/ImageEncoder.h"
#include "support/Utilities.h"
#include "win32/GdiTextRasterizer_win.h"
#include "win32/Window_win.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {
void RegisterPrivateFont(const std::wstring& path, bool remove) {
    if (remove)
        ::RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    else
        ::AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
}

// The face the system really uses for a request (substitution shows here).
std::wstring ResolvedFace(const TFontDesc& font) {
    const int height = font.Height > 0 ? -font.Height : -::MulDiv(font.Size, 96, 72);
    unique_font f(::CreateFontW(height, 0, 0, 0, (font.Style & fsBold) ? FW_BOLD : FW_NORMAL, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                                font.Name.c_str()));
    unique_mem_dc dc(::CreateCompatibleDC(nullptr));
    TSelectObject sel(dc.get(), f.get());
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc.get(), LF_FACESIZE, face);
    return face;
}

TView FontView(const TTextRasterizer& text) {
    struct TRequest {
        const wchar_t* Name;
        int Size, Height;
        unsigned Style;
        const wchar_t* Where;
    } const requests[] = {
        {L"Noto Sans", 0, 13, 0, L"notification text"},
        {L"Noto Sans", 0, 15, fsBold, L"notification title"},
        {L"Roboto", 0, 15, 0, L"settings labels"},
        {L"Roboto", 0, 15, fsBold, L"button captions"},
        {L"Roboto", 0, 19, 0, L"page headings"},
        {L"Roboto", 12, 0, 0, L"combo box default"},
        {L"Roboto Bk", 0, 12, 0, L"settings tabs"},
        {L"Roboto Black", 0, 12, 0, L"settings tabs, family name of Roboto-Black.ttf"},
        {L"Open Sans", 12, 0, fsBold, L"offer button"},
        {L"MS Shell Dlg 2", 8, 0, 0, L"default dialog font"},
    };
    TSheet sheet(text, 1200);
    for (const TRequest& r : requests) {
        const TFontDesc font{r.Name, r.Size, r.Style, r.Height};
        const std::wstring sample = L"Скриншот сохранён, Ctrl+V 0123 Agy";
        const TTextExtent e = text.TextExtent(font, sample);
        TBitmap32 b(e.Width + 16, e.Height + 12, Color32FromColor(0x321A09));
        DrawTextAt(b, 8, 6, sample, font, 0xFFFFFFFF, text);
        const std::wstring size = font.Height > 0 ? std::to_wstring(font.Height) + L"px"
                                                  : std::to_wstring(font.Size) + L"pt";
        sheet.Break();
        sheet.Group(font.Name + L" " + size + ((font.Style & fsBold) ? L" bold" : L"") + L"  ->  " +
                    ResolvedFace(font) + L"   (" + r.Where + L")");
        sheet.Add(L"", std::move(b));
    }
    return {"fonts.png", L"Fonts as requested and as resolved", sheet.Render()};
}

int Run(int argc, wchar_t** argv) {
    namespace fs = std::filesystem;
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(ExeDirectory() + L"devview");
    fs::create_directories(folder);

    TGdiTextRasterizer text;
    std::vector<TView> views = ArtViews(text);
    for (TView& v : ControlViews(text))
        views.push_back(std::move(v));
    views.push_back(FontView(text));
    for (const TWindowEntry& w : WindowEntries())
        views.push_back({w.File, w.Title, w.Paint(text)});

    for (const TView& v : views) {
        const std::vector<std::uint8_t> png = EncodePng(v.Picture);
        std::ofstream file(folder / v.File, std::ios::binary);
        file.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
        if (!file) throw std::runtime_error("cannot write " + (folder / v.File).string());
        std::printf("%-34s %5d x %-5d %s\n", v.File.c_str(), v.Picture.Width(), v.Picture.Height(),
                    WideToUtf8(v.Title).c_str());
    }
    WriteIndex(folder.string(), views);
    std::printf("%zu pictures and index.html in %s\n", views.size(), folder.string().c_str());
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring fonts = ExeDirectory() + L"Fonts\\";
    SetFolderFonts(fonts, false, RegisterPrivateFont);
    int code = 1;
    try {
        code = Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "devview: %s\n", e.what());
    }
    SetFolderFonts(fonts, true, RegisterPrivateFont);
    return code;
}
