#include "gfx/KeyColorRuns.h"

#include <algorithm>

void FlipBitmapVertical(TBitmap32& b) {
    const int h = b.Height();
    for (int y = 0; y < h / 2; ++y)
        std::swap_ranges(b.Row(y), b.Row(y) + b.Width(), b.Row(h - 1 - y));
}

std::vector<TRect> RegionFromBitmap(const TBitmap32& b, TColor32 key) {
    std::vector<TRect> runs;
    const int w = b.Width();
    for (int y = 0; y < b.Height(); ++y) {
        const TColor32* row = b.Row(y);
        int x = 0;
        while (x < w) {
            while (x < w && row[x] == key)
                ++x;
            if (x == w) break;
            const int start = x;
            while (x < w && row[x] != key)
                ++x;
            runs.push_back({start, y, x, y + 1});
        }
    }
    return runs;
}
