#include "capture/SelectionGeometry.h"

#include <algorithm>
#include <cstdlib>

TFloatRect TInitialDrag::Start(int x, int y) {
    FOldX = x;
    FOldY = y;
    return {float(x), float(y), float(x), float(y)};
}

TFloatRect TInitialDrag::Step(const TFloatRect& r, int x, int y) {
    TFloatRect n = r;
    const float fx = float(x);
    const float fy = float(y);

    // The moving edge is the one the pointer left at the previous step. When
    // the pointer crosses the fixed edge in one step the fixed edge takes the
    // new position and the moving one stays behind, so a press point crossed
    // in a single step is lost.
    if (FOldY == RoundCoord(r.Bottom)) {
        if (fy > r.Top)
            n.Top = fy;
        else
            n.Bottom = fy;
    } else if (FOldY == RoundCoord(r.Top)) {
        if (fy >= r.Bottom)
            n.Top = fy;
        else
            n.Bottom = fy;
    }

    if (FOldX == RoundCoord(r.Right)) {
        if (fx >= r.Left)
            n.Right = fx;
        else
            n.Left = fx;
    } else if (FOldX == RoundCoord(r.Left)) {
        if (fx <= r.Right)
            n.Left = fx;
        else
            n.Right = fx;
    }

    FOldX = x;
    FOldY = y;
    return n;
}

std::optional<TFloatRect> FinishInitialDrag(const TFloatRect& r) {
    if (std::abs(r.Right - r.Left) < 3 || std::abs(r.Top - r.Bottom) < 3) return std::nullopt;
    TFloatRect n = r;
    if (n.Top > n.Bottom) std::swap(n.Top, n.Bottom);
    return n;
}

void ClampSelection(TFloatRect& r, int workWidth, int workHeight) {
    if (r.Left < 0) r.Left = 0;
    if (r.Right > float(workWidth)) r.Right = float(workWidth);
    if (r.Top < 0) r.Top = 0;
    if (r.Bottom > float(workHeight)) r.Bottom = float(workHeight);

    if (std::abs(r.Left - r.Right) < 5) r.Right = r.Left + 5;
    if (std::abs(r.Top - r.Bottom) < 5) r.Bottom = r.Top + 5;
}

TRect WorkAreaUnion(int primaryWidth, int primaryHeight, std::span<const TRect> monitors) {
    // Not TRect::Union: the primary rectangle always counts, even when a
    // monitor reports an empty one.
    TRect work{0, 0, primaryWidth, primaryHeight};
    for (const TRect& m : monitors) {
        work.Left = std::min(work.Left, m.Left);
        work.Top = std::min(work.Top, m.Top);
        work.Right = std::max(work.Right, m.Right);
        work.Bottom = std::max(work.Bottom, m.Bottom);
    }
    return work;
}

std::optional<TRect> WindowPreset(const TRect& windowRect, const TRect& workArea) {
    const TRect clipped{
        std::max(windowRect.Left, workArea.Left), std::max(windowRect.Top, workArea.Top),
        std::min(windowRect.Right, workArea.Right), std::min(windowRect.Bottom, workArea.Bottom)};
    if (clipped.IsEmpty()) return std::nullopt;
    return clipped.Offset(-workArea.Left, -workArea.Top);
}

std::optional<TRect> AllScreensPreset(const TRect& workArea) {
    const TRect preset{0, 0, workArea.Width(), workArea.Height()};
    if (preset.IsEmpty()) return std::nullopt;
    return preset;
}
