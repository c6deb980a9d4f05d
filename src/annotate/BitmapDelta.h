#pragma once
// One step of the undo history stored compactly: the rectangle where two
// consecutive images differ and the pixels of the other side of the step.
// Applying it swaps those pixels with the image, which turns the image into
// the other side and leaves the delta ready to swap back, so one buffer
// serves both undo and redo. Images of different sizes are kept whole.
#include "gfx/Bitmap32.h"

#include <cstddef>

// Bounding rectangle of the pixels where a and b differ; empty when they are
// equal. Both must have the same size.
TRect DiffRect(const TBitmap32& a, const TBitmap32& b);

class TBitmapDelta {
public:
    // A step that changes nothing.
    TBitmapDelta() = default;

    // Makes image equal to next and returns the delta that turns it back.
    // Strong guarantee: image is untouched when an allocation throws.
    static TBitmapDelta Record(TBitmap32& image, const TBitmap32& next);

    // Exchanges the stored side with image. image must be the side the
    // delta does not hold, as left by Record or by the previous Swap.
    void Swap(TBitmap32& image) noexcept;

    // The changed rectangle; empty for a change of size.
    const TRect& Rect() const { return FRect; }
    bool IsResize() const { return FResize; }
    // Pixel bytes held.
    std::size_t Bytes() const { return FPixels.Pixels().size() * sizeof(TColor32); }

private:
    TRect FRect;
    TBitmap32 FPixels;
    bool FResize = false;
};
