#pragma once
// Painting a window from a back buffer (the overlay's view, a form): each
// composed rectangle costs its own pixels, and what the system exposed
// besides them comes straight from the buffer, which still holds it.
#include "gfx/Bitmap32.h"
#include "gfx/ViewMouse.h"
#include "win32/Handles_win.h"

#include <functional>
#include <vector>

inline TRect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The rectangles of a region, empty when it cannot be read.
std::vector<TRect> RegionRects(HRGN rgn);

// Copies area of a top-down 32-bit bitmap to the same place on dc.
void BlitBitmap32(HDC dc, const TBitmap32& bitmap, const TRect& area);

// The WM_PAINT handler: composeDirty brings the buffer up to date and
// returns what it composed.
void PaintFromBuffer(HWND wnd, const TBitmap32& buffer,
                     const std::function<std::vector<TRect>()>& composeDirty);

// The system cursor for a cursor kind (crDefault: the arrow).
HCURSOR SystemCursor(TCursorKind kind);
