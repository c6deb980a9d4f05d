#pragma once
// The overlay's draw image: the live stroke before it is committed, blended
// over the working image. It remembers which part holds drawing, so clearing
// it and committing it touch only that part, not the whole screen.
#include "gfx/BitmapLayer.h"

#include <span>
#include <vector>

// An empty draw image is transparent white.
constexpr TColor32 DrawImageEmpty = 0x00FFFFFF;

class TDrawImageLayer : public TBitmapLayer {
public:
    explicit TDrawImageLayer(TImageView& view);

    // Sized to width x height at (0, 0) and empty.
    void Reset(int width, int height);
    // Back to empty.
    void ClearDrawn();
    // The drawing was flattened into the image under this layer, which now
    // shows the same pixels: back to empty without a repaint.
    void Merged();
    // Area back to empty (part of a redraw that fills it again).
    void ClearArea(const TRect& area);
    // Something was drawn into areas of Bitmap(): repaint them and remember
    // them, so that the next clear touches only them.
    void Drawn(std::span<const TRect> areas);
    void Drawn(const TRect& area) { Drawn(std::span(&area, 1)); }
    // Everything drawn since the image was last empty: its bounds, and the
    // rectangles that hold it.
    const TRect& DrawnArea() const { return FDrawnArea; }
    const std::vector<TRect>& DrawnRects() const { return FDrawnRects; }
    // Only the drawn part differs from transparent: an empty draw image is
    // neither composed nor repainted.
    TRect Bounds() const override;

private:
    TRect FDrawnArea;
    std::vector<TRect> FDrawnRects;
};
