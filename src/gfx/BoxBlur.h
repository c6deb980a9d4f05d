#pragma once
// Box blur for the blur rectangle: one separable (2r+1) x (2r+1) box over all
// four channels, edge pixels repeated, each pass rounding its mean down.
// Running sums make the cost per pixel independent of the radius.
#include "gfx/Bitmap32.h"

// Blurs image in place. Radius 0 leaves it unchanged; throws
// std::invalid_argument for a radius outside 0..128 (sums are 16-bit).
void BoxBlur(TBitmap32& image, int radius);
