#pragma once
// Where the tools panel and the actions panel go around the selection. The
// preferred layout puts the tools bar below the selection, right-aligned with
// it, and the actions bar to its right, bottom-aligned; screen edges push the
// bars inside or around the selection. Pure: the overlay supplies the
// rectangles, including the monitor nearest to each bar's previous position,
// and moves the windows itself.
#include "capture/SelectionGeometry.h"
#include "gfx/Rect.h"

struct TPanelPlacementInput {
    TRect WorkArea;       // screen coordinates
    TFloatRect Selection; // image coordinates (may be mirrored vertically)
    int ToolsWidth = 0, ToolsHeight = 0;
    int SaveWidth = 0, SaveHeight = 0;
    // Full bounds of the monitors nearest to the bars where they were last
    // placed (taskbar included).
    TRect ToolsMonitor;
    TRect SaveMonitor;
    // Full bounds of the monitor holding most of the selection, whose edges
    // the bars keep to; empty means the work area's.
    TRect SelectionMonitor;
};

// Top-left corners in screen coordinates.
struct TPanelPositions {
    int ToolsX = 0, ToolsY = 0;
    int SaveX = 0, SaveY = 0;

    friend constexpr bool operator==(const TPanelPositions&, const TPanelPositions&) = default;
};

TPanelPositions ComputePanelPositions(const TPanelPlacementInput& in);
