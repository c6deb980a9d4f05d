#include "capture/PanelPlacement.h"

#include <gtest/gtest.h>

namespace {
const TRect Primary{0, 0, 1920, 1080};
const TRect AboveLeft{-1280, -200, 0, 824};

TPanelPlacementInput Input(TRect work, TFloatRect sel, TRect toolsMonitor = Primary,
                           TRect saveMonitor = Primary) {
    return {work, sel, 532, 38, 38, 157, toolsMonitor, saveMonitor, {}};
}

TPanelPlacementInput OnMonitor(TRect selectionMonitor, TPanelPlacementInput in) {
    in.SelectionMonitor = selectionMonitor;
    return in;
}

TEST(PanelPlacement, Layouts) {
    struct TCase {
        const char* What;
        TPanelPlacementInput In;
        TPanelPositions Expected;
    };
    const TRect twoMonitors{-1280, -200, 1920, 1080};
    const TCase cases[] = {
        {"preferred", Input(Primary, {100, 100, 900, 600}), {368, 608, 908, 443}},
        {"mirrored vertically", Input(Primary, {100, 600, 900, 100}), {368, 608, 908, 443}},
        {"lower than the actions bar", Input(Primary, {100, 100, 900, 150}), {368, 203, 908, 38}},
        {"no room right", Input(Primary, {1500, 100, 1900, 300}), {1368, 308, 1454, 143}},
        {"no room below", Input(Primary, {700, 900, 1300, 1060}), {768, 854, 1308, 903}},
        {"left edge", Input(Primary, {100, 40, 400, 300}), {0, 308, 408, 143}},
        {"no room right or below", Input(Primary, {100, 100, 1900, 1060}), {1314, 54, 54, 903}},
        {"whole screen", Input(Primary, {0, 0, 1920, 1080}), {1334, 1034, 1874, 923}},
        {"second monitor above left",
         Input(twoMonitors, {1380, 300, 2180, 800}),
         {368, 608, 908, 443}},
        // Screen (100, 700)-(900, 900): below it fits the primary monitor, but
        // the tools bar was last on the upper-left one, whose bottom is 824.
        {"tools bar last on the other monitor",
         Input(twoMonitors, {1380, 900, 2180, 1100}, AboveLeft),
         {368, 629, 908, 743}},
        {"same, tools bar last on the primary",
         Input(twoMonitors, {1380, 900, 2180, 1100}),
         {368, 908, 908, 743}},
        // The bars keep to the selection's monitor, not to the corners of
        // the bounding rectangle that no monitor shows.
        {"right edge of the left monitor: actions bar left of the selection",
         OnMonitor(AboveLeft, Input(twoMonitors, {980, 350, 1240, 700}, AboveLeft, AboveLeft)),
         {-572, 508, -346, 343}},
        {"top of the primary below the other monitor's top: both bars on the primary",
         OnMonitor(Primary, Input(twoMonitors, {1380, 210, 1680, 300})),
         {0, 203, 408, 38}},
        {"the primary given as the selection's monitor changes nothing",
         OnMonitor(Primary, Input(twoMonitors, {1380, 300, 2180, 800})),
         {368, 608, 908, 443}},
    };
    for (const TCase& c : cases) {
        const TPanelPositions p = ComputePanelPositions(c.In);
        EXPECT_EQ(p, c.Expected) << c.What << ": tools (" << p.ToolsX << ", " << p.ToolsY
                                 << "), actions (" << p.SaveX << ", " << p.SaveY << ")";
    }
}
} // namespace
