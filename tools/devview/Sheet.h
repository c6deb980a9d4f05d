#pragma once
// Contact sheets for the developer view: labelled pictures in titled groups,
// flowed left to right into rows, so many states can be compared at a glance.
#include "gfx/Bitmap32.h"
#include "gfx/TextRasterizer.h"

#include <string>
#include <vector>

class TSheet {
public:
    // Groups wrap at width (the sheet grows when one picture is wider).
    TSheet(const TTextRasterizer& text, int width);

    // Starts a group; later pictures go into it.
    void Group(std::wstring title);
    // The next group starts a new row.
    void Break();
    void Add(std::wstring label, TBitmap32 picture);

    bool Empty() const { return FGroups.empty(); }
    TBitmap32 Render() const;

private:
    struct TItem {
        std::wstring Label;
        TBitmap32 Picture;
    };
    struct TGroup {
        std::wstring Title;
        bool NewRow = false;
        std::vector<TItem> Items;
    };

    const TTextRasterizer& FText;
    int FWidth;
    bool FBreak = false;
    std::vector<TGroup> FGroups;
};

// Nearest-neighbour enlargement.
TBitmap32 Enlarge(const TBitmap32& src, int factor);

// The picture blended over an opaque colour with a margin around it, so its
// extent and its transparent pixels both show.
TBitmap32 OnBackground(const TBitmap32& picture, TColor32 background, int margin);

// Side by side, top-aligned, gap pixels apart, the gap in colour gapColour.
TBitmap32 Beside(const TBitmap32& a, const TBitmap32& b, int gap, TColor32 gapColour);

// One above the other, left-aligned, gap pixels apart.
TBitmap32 Below(const TBitmap32& a, const TBitmap32& b, int gap, TColor32 gapColour);
