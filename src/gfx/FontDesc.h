#pragma once
// A font as the program names it: face, size in points and style bits. The
// platform's text renderer resolves it (face substitution, pixel size).
#include <string>

enum TFontStyleBits : unsigned {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

struct TFontDesc {
    std::wstring Name;
    int Size = 8; // points
    unsigned Style = 0;
    // Character height in pixels; when above zero it wins over Size (the
    // windows give some of their fonts in pixels).
    int Height = 0;

    // The same font enlarged, for rendering text at a multiple of its size.
    TFontDesc Scaled(int factor) const { return {Name, Size * factor, Style, Height * factor}; }

    friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

// The font every new drawing surface starts with: the system's dialog face
// (the renderer substitutes it, normally Tahoma) at 8 points.
inline TFontDesc DefaultDialogFont() {
    return {L"MS Shell Dlg 2", 8, 0};
}
