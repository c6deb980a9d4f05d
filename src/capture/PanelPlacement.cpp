#include "capture/PanelPlacement.h"

#include <utility>

namespace {
constexpr int Gap = 8;
constexpr int WideGap = 16;
constexpr int LeftSlack = 5;
} // namespace

TPanelPositions ComputePanelPositions(const TPanelPlacementInput& in) {
    TRect sel = RoundRect(in.Selection);
    if (sel.Bottom < sel.Top) std::swap(sel.Top, sel.Bottom);
    const TRect scr = sel.Offset(in.WorkArea.Left, in.WorkArea.Top);
    // With several monitors the work area has corners no monitor shows: a
    // bar placed by its edges could end up there, or on the next monitor.
    const TRect& rw = in.SelectionMonitor.IsEmpty() ? in.WorkArea : in.SelectionMonitor;
    sel = scr.Offset(-rw.Left, -rw.Top);

    const int w = rw.Width();
    const int h = rw.Height();
    const int tw = in.ToolsWidth, th = in.ToolsHeight;
    const int sw = in.SaveWidth, sh = in.SaveHeight;

    // The steps below are order-dependent; each sees the values the previous
    // ones left.
    int ty = h - sel.Bottom < th + Gap ? scr.Bottom - th - Gap : scr.Bottom + Gap;
    if (sh < rw.Top - ty) ty = rw.Top + sh;

    int tx = scr.Right - tw;
    if (tx < rw.Left) tx = rw.Left;

    int sy = (scr.Bottom - sh) - rw.Top < th ? rw.Top + th : scr.Bottom - sh;

    int sx;
    if (sw + Gap > w - sel.Right) {
        sx = sw + Gap < sel.Left ? scr.Left - sw - Gap : scr.Right - sw - Gap;
    } else {
        sx = scr.Right + Gap;
    }

    if (ty < sy + sh) ty = sy + sh + Gap;

    const TRect& tm = in.ToolsMonitor;
    if (ty > tm.Bottom - th) {
        if (scr.Top - tm.Top > th + Gap) {
            ty = scr.Top - th - Gap;
            if (ty > tm.Bottom - sh - th) ty = tm.Bottom - sh - th;
        } else {
            if (scr.Left - tm.Left > tw + LeftSlack) tx = scr.Left - tw - Gap;
            ty = scr.Bottom - th - Gap;
        }
    }

    if (tx + tw > rw.Right) tx = rw.Right - tw;
    if (sx + sw > rw.Right) sx = scr.Left - sw - Gap;

    if (sy > in.SaveMonitor.Bottom - sh) sy = in.SaveMonitor.Bottom - sh;

    // Only the tools bar's right end is compared with the actions bar's left,
    // so a tools bar lying wholly to the right of it moves too.
    if (tx + tw > sx && ty < sy + sh) tx = tx - sw - WideGap;

    return {tx, ty, sx, sy};
}
