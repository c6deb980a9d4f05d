#pragma once
// Everything the selection frame layer decides without drawing: which zone
// of the selection lies under the pointer, the cursor that zone shows, and
// the move and resize drags. The layer that paints wraps one of these and
// forwards the view's mouse events to it.
#include "capture/SelectionGeometry.h"
#include "gfx/Rect.h"
#include "gfx/ViewMouse.h"

#include <functional>

enum TSelectState : int { ssNoVis, ssDown, ssMove, ssEnd };

enum TDragState : int {
    dsNone,
    dsMove,
    dsSizeL,
    dsSizeT,
    dsSizeR,
    dsSizeB,
    dsSizeTL,
    dsSizeTR,
    dsSizeBL,
    dsSizeBR
};

// crDefault for dsNone: each control shows its own cursor again.
TCursorKind CursorForDragState(TDragState state);

// What a pointer move asks of the layer that wraps the logic.
struct TRubberbandMove {
    bool SetCursor = false; // set the application-wide cursor to Cursor
    TCursorKind Cursor = crDefault;
    bool LocationChanged = false; // repaint
};

class TRubberbandLogic {
public:
    // (old location, proposed location in/out, drag state, keys held).
    using TResizeEvent =
        std::function<void(const TFloatRect&, TFloatRect&, TDragState, TShiftState)>;

    static constexpr int HandleSize = 3;
    static constexpr int HitTolerance = 2 * HandleSize + 1;

    const TFloatRect& Location() const { return FLocation; }
    void SetLocation(const TFloatRect& r) { FLocation = r; }

    bool VisibleRect = false;
    TSelectState SelectState = ssNoVis;
    TRect RectWork;
    TResizeEvent OnResizing;
    // Whether the overlay has a live annotation tool: a press inside the
    // selection then belongs to the tool rather than moving the selection.
    std::function<bool()> HasLiveTool;

    TDragState DragStateAt(int x, int y) const;
    bool HitTest(int x, int y) const { return DragStateAt(x, y) != dsNone; }

    // Any button; a press while a drag is under way changes nothing.
    void MouseDown(int x, int y);
    TRubberbandMove MouseMove(TShiftState shift, int x, int y);
    // Any button ends the drag.
    void MouseUp() { FDragging = false; }

    bool Dragging() const { return FDragging; }
    TDragState DragState() const { return FDragState; }
    const TFloatRect& OldLocation() const { return FOldLocation; }

private:
    TFloatRect FLocation;
    TFloatRect FOldLocation;
    TDragState FDragState = dsNone;
    bool FDragging = false;
    float FMouseShiftX = 0;
    float FMouseShiftY = 0;
};
