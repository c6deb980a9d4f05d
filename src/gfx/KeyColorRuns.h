#pragma once
// A shaped window's outline taken from its picture: every pixel that differs
// from a key colour belongs to the window. The outline is a list of
// one-pixel-high runs, so it is computed and tested without a platform; the
// shell only unites them into its own region type.
#include "gfx/Bitmap32.h"

#include <vector>

// Exchanges row y with row height - 1 - y (a balloon pointing up then points
// down).
void FlipBitmapVertical(TBitmap32& b);

// The runs of non-key pixels, rows top to bottom and left to right within a
// row, each (start, y)-(end, y + 1). Empty when every pixel is the key.
std::vector<TRect> RegionFromBitmap(const TBitmap32& b, TColor32 key);
