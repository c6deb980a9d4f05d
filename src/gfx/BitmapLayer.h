#pragma once
// A bitmap shown unscaled with its top-left corner at the top-left of an
// integer location: the overlay's draw image and the tool layers. Only the
// part of the bitmap inside the location shows, and a bitmap smaller than the
// location leaves the rest of it untouched.
#include "gfx/Bitmap32.h"
#include "gfx/CustomLayer.h"
#include "gfx/Rect.h"

enum TDrawMode : std::uint8_t { dmOpaque, dmBlend };

class TBitmapLayer : public TCustomLayer {
public:
    explicit TBitmapLayer(TImageView& view) : TCustomLayer(view) {}

    // Whoever draws into Bitmap() calls Changed(area) for what it drew;
    // resizing goes through SetBitmap, which repaints the old and new extent.
    TBitmap32& Bitmap() { return FBitmap; }
    const TBitmap32& Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap32 bitmap);

    const TRect& Location() const { return FLocation; }
    void SetLocation(const TRect& location);

    TDrawMode DrawMode() const { return FDrawMode; }
    void SetDrawMode(TDrawMode mode);

    // Where pixels of the bitmap land: the location cut to the bitmap's size.
    TRect Bounds() const override;
    // Inside the location, as for any positioned layer.
    bool HitTest(int x, int y) const override;
    void Paint(TBitmap32& buffer, const TRect& clip) override;

private:
    TBitmap32 FBitmap;
    TRect FLocation;
    TDrawMode FDrawMode = dmOpaque;
};
