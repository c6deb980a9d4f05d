#include "capture/RubberbandLogic.h"

#include <cstdlib>
#include <utility>

TCursorKind CursorForDragState(TDragState state) {
    switch (state) {
    case dsNone:
        return crDefault;
    case dsMove:
        return crSizeAll;
    case dsSizeL:
    case dsSizeR:
        return crSizeWE;
    case dsSizeT:
    case dsSizeB:
        return crSizeNS;
    case dsSizeTL:
    case dsSizeBR:
        return crSizeNWSE;
    case dsSizeTR:
    case dsSizeBL:
        return crSizeNESW;
    }
    return crDefault;
}

TDragState TRubberbandLogic::DragStateAt(int x, int y) const {
    if (!VisibleRect || SelectState == ssNoVis || SelectState == ssMove) return dsNone;

    TRect r = RoundRect(FLocation);
    --r.Right;
    --r.Bottom;

    // Each band runs across the whole image, not only along the selection:
    // a press far above the selection but in line with its right edge still
    // resizes that edge.
    const bool nearL = std::abs(r.Left - x) <= HitTolerance;
    const bool nearR = std::abs(r.Right - x) <= HitTolerance;
    const bool nearT = std::abs(r.Top - y) <= HitTolerance;
    const bool nearB = std::abs(r.Bottom - y) <= HitTolerance;

    if (nearR && nearB) return dsSizeBR;
    if (nearL && nearB) return dsSizeBL;
    if (nearR && nearT) return dsSizeTR;
    if (nearL && nearT) return dsSizeTL;
    if (nearR) return dsSizeR;
    if (nearB) return dsSizeB;
    if (nearL) return dsSizeL;
    if (nearT) return dsSizeT;

    if (r.Contains(x, y)) return HasLiveTool && HasLiveTool() ? dsNone : dsMove;
    // Away from the selection a press drags the whole selection.
    return dsMove;
}

void TRubberbandLogic::MouseDown(int x, int y) {
    if (FDragging) return;
    FDragState = DragStateAt(x, y);
    FDragging = FDragState != dsNone;
    if (!FDragging) return;
    FOldLocation = FLocation;
    if (FDragState == dsMove) {
        FMouseShiftX = float(x) - FLocation.Left;
        FMouseShiftY = float(y) - FLocation.Top;
    } else {
        FMouseShiftX = 0;
        FMouseShiftY = 0;
    }
}

TRubberbandMove TRubberbandLogic::MouseMove(TShiftState shift, int x, int y) {
    TRubberbandMove result;
    if (shift.Contains(ssRight) || SelectState == ssMove) return result;

    if (!FDragging) {
        FDragState = DragStateAt(x, y);
        result.SetCursor = true;
        result.Cursor = CursorForDragState(FDragState);
        return result;
    }

    // Every step is computed from the location at the press, so rounding
    // never accumulates and a mirrored rectangle can flip back.
    const float mx = float(x) - FMouseShiftX;
    const float my = float(y) - FMouseShiftY;
    TFloatRect n = FOldLocation;

    const bool left = FDragState == dsSizeL || FDragState == dsSizeTL || FDragState == dsSizeBL;
    const bool right = FDragState == dsSizeR || FDragState == dsSizeTR || FDragState == dsSizeBR;
    const bool top = FDragState == dsSizeT || FDragState == dsSizeTL || FDragState == dsSizeTR;
    const bool bottom = FDragState == dsSizeB || FDragState == dsSizeBL || FDragState == dsSizeBR;

    if (FDragState == dsMove) {
        n.Left = mx;
        n.Top = my;
        n.Right = mx + FOldLocation.Width();
        n.Bottom = my + FOldLocation.Height();
    }
    if (left) n.Left = mx;
    if (right) n.Right = mx;
    if ((left || right) && n.Right - n.Left < 0) std::swap(n.Left, n.Right);
    if (top) n.Top = my;
    if (bottom) n.Bottom = my;
    if ((top || bottom) && n.Bottom - n.Top < 0) std::swap(n.Top, n.Bottom);

    if (OnResizing) OnResizing(FOldLocation, n, FDragState, shift);

    if (n != FLocation) {
        FLocation = n;
        result.LocationChanged = true;
    }
    return result;
}
