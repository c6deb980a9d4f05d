#pragma once
// One step of the undo history stored compactly: for every row, the span
// where two consecutive images differ and the pixels of the other side of
// the step there. A long diagonal stroke thus costs its own pixels, not its
// bounding box. Applying the delta swaps those pixels with the image, which
// turns the image into the other side and leaves the delta ready to swap
// back, so one buffer serves both undo and redo. Images of different sizes
// are kept whole.
#include "gfx/Bitmap32.h"

#include <cstddef>
#include <span>
#include <vector>

class TBitmapDelta {
public:
    // A step that changes nothing.
    TBitmapDelta() = default;

    // Makes image equal to next and returns the delta that turns it back.
    // Strong guarantee: image is untouched when an allocation throws.
    static TBitmapDelta Record(TBitmap32& image, const TBitmap32& next);
    // The same when image and next can differ only inside the within
    // rectangles: only those are compared.
    static TBitmapDelta Record(TBitmap32& image, const TBitmap32& next,
                               std::span<const TRect> within);

    // Exchanges the stored side with image. image must be the side the
    // delta does not hold, as left by Record or by the previous Swap.
    void Swap(TBitmap32& image) noexcept;

    // Bounds of the changed pixels; empty for a change of size.
    const TRect& Rect() const { return FRect; }
    bool IsResize() const { return FResize; }
    // Bytes held: pixels and the row spans.
    std::size_t Bytes() const;

private:
    // Changed columns [Left, Right) of one row of Rect().
    struct TSpan {
        int Left = 0;
        int Right = 0;
    };

    TRect FRect;
    std::vector<TSpan> FSpans;
    std::vector<TColor32> FPixels;
    TBitmap32 FWhole; // the other side of a change of size
    bool FResize = false;
};
