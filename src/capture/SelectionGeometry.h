#pragma once
// Geometry of the capture selection that needs no pixels: the float
// rectangle the selection frame keeps, the initial drag that creates it, the
// rules that make it final, the clamp applied to every move and resize, and
// the work area and preset rectangles a capture starts from.
#include "gfx/Rect.h"

#include <cmath>
#include <optional>
#include <span>

// Right and Bottom are exclusive. Not normalised: during the initial drag Top
// may exceed Bottom until the release.
struct TFloatRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;

    constexpr float Width() const { return Right - Left; }
    constexpr float Height() const { return Bottom - Top; }

    friend constexpr bool operator==(const TFloatRect&, const TFloatRect&) = default;
};

// Nearest integer, ties to even, as the selection's integer views are taken.
inline int RoundCoord(float v) {
    return static_cast<int>(std::nearbyint(v));
}

inline TRect RoundRect(const TFloatRect& r) {
    return {RoundCoord(r.Left), RoundCoord(r.Top), RoundCoord(r.Right), RoundCoord(r.Bottom)};
}

inline TFloatRect FloatRect(const TRect& r) {
    return {float(r.Left), float(r.Top), float(r.Right), float(r.Bottom)};
}

// Capture kinds (the integer TypeSelect of StartSelectRegion).
enum TTypeSelect : int { tsArea = 0, tsWindow = 1, tsAllScreens = 2 };

// The user's first drag. Each step moves the edge that sat under the pointer
// at the previous step; the first step from the press point picks Right and
// Top, so Top may pass Bottom until the release normalises it.
class TInitialDrag {
public:
    // Left press with no selection: a zero-size rectangle at the pointer.
    TFloatRect Start(int x, int y);
    // Pointer move while the state is ssMove; returns the updated rectangle.
    TFloatRect Step(const TFloatRect& r, int x, int y);

    int OldX() const { return FOldX; }
    int OldY() const { return FOldY; }

private:
    int FOldX = 0;
    int FOldY = 0;
};

// Release of the initial drag: nullopt when the rectangle is under 3 pixels
// in either direction (discarded), otherwise with Top and Bottom ordered.
std::optional<TFloatRect> FinishInitialDrag(const TFloatRect& r);

// Handler of the selection's resize event: each edge clamped to the work
// area (so a selection pushed against the border shrinks), then at least 5
// pixels each way, which may reach past the border.
void ClampSelection(TFloatRect& r, int workWidth, int workHeight);

// Bounding rectangle of the primary screen at (0, 0) and every monitor, in
// screen coordinates; gaps between monitors are included.
TRect WorkAreaUnion(int primaryWidth, int primaryHeight, std::span<const TRect> monitors);

// Window capture: the window rectangle (screen) clipped to the work area and
// moved into image coordinates. nullopt when nothing is left, including a
// window wholly outside the work area, whose clip comes out inverted.
std::optional<TRect> WindowPreset(const TRect& windowRect, const TRect& workArea);

// All-screens capture: the whole image; nullopt for an empty work area.
std::optional<TRect> AllScreensPreset(const TRect& workArea);
