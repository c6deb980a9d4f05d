#pragma once
// Rectangles that may overlap, turned into disjoint ones: each row spans
// from the leftmost to the rightmost rectangle crossing it, and runs of rows
// with the same span become one rectangle. What is painted once per pixel
// (a translucent layer flattened into an image) must not see an overlap.
#include "gfx/Rect.h"

#include <span>
#include <vector>

std::vector<TRect> RowExtents(std::span<const TRect> rects);
