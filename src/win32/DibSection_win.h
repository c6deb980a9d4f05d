#pragma once
#include "gfx/Color32.h"
#include "win32/Handles_win.h"

#include <cstddef>
#include <stdexcept>

// The header of a top-down 32-bit image (rows as TBitmap32 keeps them).
inline BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

// A memory DC with a top-down 32-bit DIB section selected into it.
class TDibSection {
public:
    TDibSection(int width, int height) : FWidth(width), FHeight(height) {
        BITMAPINFO bmi = TopDownBitmapInfo(width, height);
        FDC.reset(::CreateCompatibleDC(nullptr));
        FBitmap.reset(::CreateDIBSection(FDC.get(), &bmi, DIB_RGB_COLORS, &FBits, nullptr, 0));
        if (!FDC || !FBitmap || !FBits) throw std::runtime_error("CreateDIBSection failed");
        FOld = ::SelectObject(FDC.get(), FBitmap.get());
    }
    ~TDibSection() {
        if (FDC) ::SelectObject(FDC.get(), FOld);
    }
    TDibSection(const TDibSection&) = delete;
    TDibSection& operator=(const TDibSection&) = delete;

    HDC DC() const { return FDC.get(); }
    TColor32* Row(int y) const { return static_cast<TColor32*>(FBits) + std::size_t(y) * FWidth; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

private:
    int FWidth, FHeight;
    unique_mem_dc FDC;
    unique_bitmap FBitmap;
    void* FBits = nullptr;
    HGDIOBJ FOld = nullptr;
};
