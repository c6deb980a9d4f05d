#pragma once
// Where the small result windows sit: 10 pixels inside the primary
// monitor's work area, in its bottom-right corner, whatever side the
// taskbar is on.
#include "gfx/Point.h"
#include "gfx/Rect.h"

constexpr TPoint BottomRightPosition(const TRect& workArea, int clientWidth, int clientHeight) {
    return {workArea.Right - clientWidth - 10, workArea.Bottom - clientHeight - 10};
}

class TForm;
// Moves the form there (nothing without a host to ask for the work area).
void PlaceBottomRight(TForm& form);
