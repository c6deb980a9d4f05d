#include "capture/SelectionGeometry.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {
struct TPt {
    int X, Y;
};

// Press at the first point, one move per further point, then release.
std::optional<TFloatRect> Drag(const std::vector<TPt>& path) {
    TInitialDrag drag;
    TFloatRect r = drag.Start(path[0].X, path[0].Y);
    for (size_t i = 1; i < path.size(); ++i)
        r = drag.Step(r, path[i].X, path[i].Y);
    return FinishInitialDrag(r);
}

TEST(InitialDrag, ReleaseYieldsNormalisedSelection) {
    struct TCase {
        std::vector<TPt> Path;
        std::optional<TFloatRect> Expected;
    };
    std::vector<TPt> backAndForth;
    for (int v : {100, 101, 102, 103, 104, 103, 102, 101, 100, 99, 98, 97, 96, 95})
        backAndForth.push_back({v, v});

    const TCase cases[] = {
        {{{100, 100}, {40, 150}}, TFloatRect{40, 100, 100, 150}},
        {{{100, 100}, {50, 60}}, TFloatRect{50, 60, 100, 100}},
        {{{100, 100}, {130, 120}, {200, 180}}, TFloatRect{100, 100, 200, 180}},
        // A start point crossed in a single step is lost...
        {{{100, 100}, {104, 104}, {95, 95}}, TFloatRect{95, 95, 104, 104}},
        // ...but kept when crossed one pixel at a time.
        {backAndForth, TFloatRect{95, 95, 100, 100}},
        {{{100, 100}}, std::nullopt},
        // Up, then back to the press row: the moving edge returns onto it.
        {{{100, 100}, {110, 90}, {110, 100}}, std::nullopt},
        {{{100, 100}, {102, 150}}, std::nullopt},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Drag(c.Path), c.Expected) << "to " << c.Path.back().X << "," << c.Path.back().Y;
    }
}

TEST(ClampSelection, ClampsEachEdgeThenEnforcesFivePixels) {
    struct TCase {
        TFloatRect In, Expected;
    };
    const TCase cases[] = {
        {{-30, 100, 170, 200}, {0, 100, 170, 200}},
        {{1800, -5, 2000, 1100}, {1800, 0, 1920, 1080}},
        {{10, 10, 12, 11}, {10, 10, 15, 15}},
        // The minimum is applied after the clamp and may pass the border.
        {{1918, 1078, 1930, 1090}, {1918, 1078, 1923, 1083}},
        {{300, 100, 296, 200}, {300, 100, 305, 200}},
    };
    for (const TCase& c : cases) {
        TFloatRect r = c.In;
        ClampSelection(r, 1920, 1080);
        EXPECT_EQ(r, c.Expected) << c.In.Left << "," << c.In.Top;
    }
}

TEST(WorkArea, UnionOfPrimaryAndMonitors) {
    const TRect leftOfPrimary[] = {{0, 0, 1920, 1080}, {-1920, 0, 0, 1080}};
    EXPECT_EQ(WorkAreaUnion(1920, 1080, leftOfPrimary), (TRect{-1920, 0, 1920, 1080}));

    const TRect aboveLeft[] = {{0, 0, 1920, 1080}, {-1280, -200, 0, 824}};
    EXPECT_EQ(WorkAreaUnion(1920, 1080, aboveLeft), (TRect{-1280, -200, 1920, 1080}));

    EXPECT_EQ(WorkAreaUnion(1280, 800, {}), (TRect{0, 0, 1280, 800}));
}

TEST(CapturePreset, WindowIsClippedAndMovedIntoImageCoordinates) {
    const TRect work{-1920, 0, 1920, 1080};
    struct TCase {
        TRect Window;
        std::optional<TRect> Expected;
    };
    const TCase cases[] = {
        {{-1000, 100, -500, 600}, TRect{920, 100, 1420, 600}},
        {{-8, -8, 1928, 1048}, TRect{1912, 0, 3840, 1048}},
        // Parked far off-screen: the clip is inverted and counts as empty.
        {{-32000, -32000, -31840, -31972}, std::nullopt},
        {{100, 100, 100, 600}, std::nullopt},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WindowPreset(c.Window, work), c.Expected);

    EXPECT_EQ(AllScreensPreset(work), (TRect{0, 0, 3840, 1080}));
    EXPECT_EQ(AllScreensPreset(TRect{}), std::nullopt);
}
} // namespace
