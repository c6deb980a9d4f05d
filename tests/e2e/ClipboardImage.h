#pragma once
// The clipboard as another program pastes from it: the image (CF_DIB), the text.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

struct TClipboardImage {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels; // top-down, $00RRGGBB
};

inline std::optional<TClipboardImage> ClipboardImage() {
    if (!::OpenClipboard(nullptr)) return std::nullopt;
    std::optional<TClipboardImage> result;
    if (HANDLE h = ::GetClipboardData(CF_DIB)) {
        const auto* info = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(h));
        if (info && info->biBitCount == 32) {
            TClipboardImage img;
            img.Width = info->biWidth;
            img.Height = std::abs(info->biHeight);
            const bool bottomUp = info->biHeight > 0;
            const auto* bits = reinterpret_cast<const std::uint32_t*>(
                reinterpret_cast<const BYTE*>(info) + info->biSize +
                (info->biCompression == BI_BITFIELDS ? 12 : 0));
            for (int y = 0; y < img.Height; ++y) {
                const std::uint32_t* row =
                    bits + std::size_t(bottomUp ? img.Height - 1 - y : y) * std::size_t(img.Width);
                for (int x = 0; x < img.Width; ++x)
                    img.Pixels.push_back(row[x] & 0xFFFFFF);
            }
            result = img;
        }
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return result;
}

// What the clipboard holds, for a failure message.
inline std::string ClipboardFormats() {
    std::string out;
    if (!::OpenClipboard(nullptr)) return "clipboard not opened";
    for (UINT f = 0; (f = ::EnumClipboardFormats(f)) != 0;)
        out += std::to_string(f) + " ";
    if (HANDLE h = ::GetClipboardData(CF_DIB)) {
        const auto* info = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(h));
        if (info) out += "dib bpp " + std::to_string(info->biBitCount);
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return out;
}

inline void EmptyTheClipboard() {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

// The clipboard's text; empty when it holds none.
inline std::wstring ClipboardText() {
    if (!::OpenClipboard(nullptr)) return {};
    std::wstring text;
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(h))) text = p;
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return text;
}
