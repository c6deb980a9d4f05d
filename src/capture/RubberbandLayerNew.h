#pragma once
// The selection frame layer: darkens everything outside the selection, draws
// the dashed frame, the eight handles and the size label, shows the hint
// next to the pointer while nothing is selected, and carries out moves and
// resizes of the final selection. Repaints are limited to what changed: the
// old and new hint box, or the old and new frame area.
#include "capture/RubberbandLogic.h"
#include "gfx/CustomLayer.h"

#include <functional>
#include <span>
#include <string>

#include "gfx/Point.h"

class TTextRasterizer;

constexpr TColor32 DimColor = 0x66353739;

class TRubberbandLayerNew : public TCustomLayer {
public:
    using TCursorPos = std::function<TPoint()>;

    TRubberbandLayerNew(TImageView& view, TTextRasterizer& text, TCursorPos cursorPos);

    const TFloatRect& Location() const { return FLogic.Location(); }
    // Stores the rectangle and repaints what it changes.
    void SetLocation(const TFloatRect& r);
    bool VisibleRect() const { return FLogic.VisibleRect; }
    void SetVisibleRect(bool visible);
    void SetRectWork(const TRect& r) { FLogic.RectWork = r; }

    TSelectState SelectState = ssNoVis; // driven by the overlay
    TRubberbandLogic::TResizeEvent OnResizing;
    std::function<void(TCursorKind)> OnCursor;
    std::function<bool()> HasLiveTool;

    // The pointer moved outside a drag: the hint box follows it.
    void PointerMoved();

    TDragState DragStateAt(int x, int y) const;
    bool HitTest(int x, int y) const override;
    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;
    void MouseUp(const TViewMouse& m) override;
    void Paint(TBitmap32& buffer, const TRect& clip) override;

    // Geometry of what Paint draws, for repaints and tests.
    TRect HintBox(int pointerX, int pointerY) const;
    TRect SizeLabelBox(const TRect& sel) const;
    std::wstring SizeLabelText(const TRect& sel) const;
    // Frame, handles and label of a selection: all that differs from a plain
    // darkened image outside the selection.
    TRect FrameArea(const TFloatRect& location) const;

private:
    void SyncLogic() const;
    TRect PointerClient() const;
    void PaintHint(TBitmap32& buffer, const TRect& clip);
    void PaintSelection(TBitmap32& buffer, const TRect& clip);

    mutable TRubberbandLogic FLogic;
    TTextRasterizer& FText;
    TCursorPos FCursorPos;
    TRect FLastHint; // where the hint box was last painted
};

// One-pixel dashed outline on r's outermost pixels, walked clockwise from the
// top-left; the pattern follows the path, so a partial repaint draws exactly
// the pixels a full one would.
void DrawDashedFrame(TBitmap32& buffer, const TRect& r, const TRect& clip,
                     std::span<const TColor32> pattern);

// Normalised integer rectangle of a float selection, as painted.
TRect PaintedSelection(const TFloatRect& location);
