#pragma once
// A control's font: a font description plus its text colour (TColor,
// $00BBGGRR, as the window toolkit keeps it).
#include "gfx/Color32.h"
#include "gfx/FontDesc.h"

struct TFont : TFontDesc {
    TColor Color = 0; // black, the toolkit's default

    TFont() : TFontDesc(DefaultDialogFont()) {}
    TFont(std::wstring name, int size, unsigned style = 0, TColor color = 0)
        : TFontDesc{std::move(name), size, style}, Color(color) {}

    // A font given by its character height in pixels.
    static TFont Pixels(std::wstring name, int height, unsigned style = 0, TColor color = 0) {
        TFont f(std::move(name), 0, style, color);
        f.Height = height;
        return f;
    }

    friend bool operator==(const TFont&, const TFont&) = default;
};
