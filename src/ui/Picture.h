#pragma once
// A picture held by a control: a 32-bit image with straight alpha. A
// transparent picture is blended over what lies beneath it (its alpha shows
// the control's background through); an opaque one replaces the pixels.
#include "gfx/Bitmap32.h"

struct TPicture {
    TBitmap32 Bitmap;
    bool Transparent = false;

    TPicture() = default;
    explicit TPicture(TBitmap32 bitmap, bool transparent = true)
        : Bitmap(std::move(bitmap)), Transparent(transparent) {}

    int Width() const { return Bitmap.Width(); }
    int Height() const { return Bitmap.Height(); }
    // "Holds a graphic": both sides above zero.
    bool HasGraphic() const { return Bitmap.Width() > 0 && Bitmap.Height() > 0; }

    friend bool operator==(const TPicture&, const TPicture&) = default;
};
