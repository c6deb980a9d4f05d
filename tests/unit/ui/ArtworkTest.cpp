#include "ui/Artwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <queue>
#include <set>
#include <stdexcept>

namespace {

struct TSizeRule {
    const char* Prefix;
    int Width, Height;
};

// The sizes the windows' controls are laid out for; longer prefixes first.
constexpr TSizeRule Sizes[] = {
    {"tool.color.", 48, 38},
    {"tool.", 38, 38},
    {"font.", 38, 38},
    {"action.upload.", 38, 33},
    {"action.", 38, 38},
    {"close.14.", 14, 14},
    {"close.15.", 15, 15},
    {"close.20.", 20, 20},
    {"close.32.", 32, 32},
    {"close.38.", 38, 38},
    {"info.35", 35, 35},
    {"info.40", 40, 40},
    {"check.", 20, 21},
    {"radio.", 20, 21},
    {"tab.save.", 120, 108},
    {"tab.", 120, 107},
    {"combo.arrow.", 27, 27},
    {"slider.thumb", 16, 16},
    {"slider.thin", 6, 7},
    {"slider.thick", 10, 11},
    {"sep.tools", 10, 38},
    {"sep.actions", 22, 2},
    {"sep.settings", 460, 2},
    {"reset.", 16, 16},
    {"star.", 40, 40},
    {"button.primary.142x38.", 142, 38},
    {"button.secondary.142x38.", 142, 38},
    {"button.secondary.89x33.", 89, 33},
    {"button.capture.200x42.", 200, 42},
    {"button.more.246x54.", 246, 54},
    {"balloon.font", 190, 95},
    {"balloon.width", 125, 38},
    {"bg.welcome", 576, 371},
    {"bg.about", 576, 371},
    {"bg.offer", 789, 480},
    {"logo.16", 16, 16},
    {"logo.32", 32, 32},
    {"logo.48", 48, 48},
    {"logo.64", 64, 64},
    {"logo.74", 74, 74},
    {"link.site", 107, 23},
};

bool StartsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST(ArtworkTest, EveryPictureHasItsSizeAndTheButtonsHaveEveryState) {
    const auto names = ArtNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (const auto& name : names) {
        const auto rule = std::find_if(std::begin(Sizes), std::end(Sizes), [&](const TSizeRule& r) {
            return StartsWith(name, r.Prefix);
        });
        ASSERT_NE(rule, std::end(Sizes)) << name;
        const TBitmap32& b = ArtPicture(name);
        EXPECT_EQ(b.Width(), rule->Width) << name;
        EXPECT_EQ(b.Height(), rule->Height) << name;
        EXPECT_TRUE(std::any_of(b.Pixels().begin(), b.Pixels().end(), [](TColor32 c) {
            return AlphaOf(c) > 0;
        })) << name;
    }
    EXPECT_EQ(&ArtPicture("tool.pen.normal"), &ArtPicture("tool.pen.normal"));
    EXPECT_THROW(ArtPicture("tool.pen"), std::out_of_range);

    // What the panels and dialogs assign: latching buttons need both sets,
    // buttons that get disabled need a disabled picture.
    const std::set<std::string> have(names.begin(), names.end());
    const struct {
        std::vector<std::string> Bases;
        std::vector<std::string> States;
    } required[] = {
        {{"tool.arrow", "tool.pen", "tool.rect", "tool.line", "tool.marker", "tool.fillrect",
          "tool.text", "tool.stamp", "tool.blur"},
         {"normal", "hover", "down", "disabled", "normal2", "hover2", "down2", "disabled2"}},
        {{"tool.undo", "tool.redo"}, {"normal", "hover", "down", "disabled"}},
        {{"font.bold", "font.italic", "font.underline", "font.strike", "tab.main", "tab.hot",
          "tab.save"},
         {"normal", "hover", "down", "normal2", "hover2", "down2"}},
        {{"tool.width", "tool.color", "action.upload", "action.copy", "action.save", "action.close",
          "check.off", "check.on", "radio.off", "radio.on", "star.empty", "star.filled",
          "combo.arrow", "close.14", "close.15", "close.20", "close.32", "close.38"},
         {"normal", "hover", "down"}},
    };
    for (const auto& group : required)
        for (const auto& base : group.Bases)
            for (const auto& state : group.States)
                EXPECT_TRUE(have.count(base + "." + state)) << base << "." << state;
}

TEST(ArtworkTest, StateVariantsOfOneButtonDiffer) {
    std::map<std::string, std::vector<std::string>> groups;
    for (const auto& name : ArtNames())
        groups[name.substr(0, name.rfind('.'))].push_back(name);
    for (const auto& [base, members] : groups)
        for (std::size_t i = 0; i < members.size(); ++i)
            for (std::size_t j = i + 1; j < members.size(); ++j)
                EXPECT_NE(ArtPicture(members[i]), ArtPicture(members[j]))
                    << members[i] << " " << members[j];
}

// Anti-aliased edges over a transparent pixel keep the ink colour (only the
// alpha is partial), and a glyph on a plate leaves the plate opaque: either
// fault shows as a dark or light fringe on the window.
TEST(ArtworkTest, EdgesKeepTheirInkAndPlatesStayOpaque) {
    for (const auto& name : ArtNames()) {
        const TBitmap32& b = ArtPicture(name);
        if ((StartsWith(name, "tool.") || StartsWith(name, "font.")) && name.ends_with(".normal") &&
            name != "tool.color.normal") {
            const auto solid = std::find_if(b.Pixels().begin(), b.Pixels().end(),
                                            [](TColor32 c) { return AlphaOf(c) == 255; });
            ASSERT_NE(solid, b.Pixels().end()) << name;
            for (TColor32 c : b.Pixels())
                if (AlphaOf(c) > 0) {
                    EXPECT_LE(std::abs(RedOf(c) - RedOf(*solid)), 1) << name;
                    EXPECT_LE(std::abs(BlueOf(c) - BlueOf(*solid)), 1) << name;
                }
            for (int i = 0; i < 38; ++i) // centred with a margin, nothing cut off
                EXPECT_EQ(AlphaOf(b.Pixel(i, 0)) | AlphaOf(b.Pixel(0, i)) |
                              AlphaOf(b.Pixel(i, 37)) | AlphaOf(b.Pixel(37, i)),
                          0)
                    << name;
        }
        if (StartsWith(name, "tool.") && !StartsWith(name, "tool.color.") &&
            (name.ends_with(".hover") || name.ends_with(".normal2"))) {
            for (int y = 8; y < 30; ++y)
                for (int x = 8; x < 30; ++x)
                    ASSERT_EQ(AlphaOf(b.Pixel(x, y)), 255) << name << " " << x << "," << y;
        }
    }
}

struct TBox {
    int Left, Top, Width, Height;
};

bool InsideOutline(const TBitmap32& b, const TBox& r) {
    for (int y = r.Top; y < r.Top + r.Height; ++y)
        for (int x = r.Left; x < r.Left + r.Width; ++x)
            if (x >= b.Width() || y >= b.Height() || b.Pixel(x, y) == ArtBalloonKey) return false;
    return true;
}

TBitmap32 FlippedVertically(const TBitmap32& b) {
    TBitmap32 f(b.Width(), b.Height());
    for (int y = 0; y < b.Height(); ++y)
        f.Draw(0, b.Height() - 1 - y, b, {0, y, b.Width(), y + 1});
    return f;
}

int RegionCount(const TBitmap32& b) {
    std::vector<bool> seen(std::size_t(b.Width() * b.Height()));
    int regions = 0;
    for (int start = 0; start < b.Width() * b.Height(); ++start) {
        if (seen[start] || b.Pixels()[start] == ArtBalloonKey) continue;
        ++regions;
        std::queue<int> todo;
        todo.push(start);
        seen[start] = true;
        while (!todo.empty()) {
            const int i = todo.front(), x = i % b.Width(), y = i / b.Width();
            todo.pop();
            const int next[][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : next) {
                const int j = n[1] * b.Width() + n[0];
                if (n[0] < 0 || n[1] < 0 || n[0] >= b.Width() || n[1] >= b.Height() || seen[j] ||
                    b.Pixels()[j] == ArtBalloonKey)
                    continue;
                seen[j] = true;
                todo.push(j);
            }
        }
    }
    return regions;
}

// The window region of a panel is the outline; its controls must lie inside
// it whether the panel opens below the tools panel or, flipped, above it, and
// the pointer must aim at the button that opened it.
TEST(ArtworkTest, BalloonOutlinesHoldTheirControlsAndPointAtTheirButton) {
    const struct {
        const char* Name;
        int TipX; // button centre on the tools panel minus the panel's offset
        std::vector<TBox> Below, Above;
    } balloons[] = {
        {"balloon.font",
         276 + 19 - 214,
         {{9, 11, 38, 38},
          {53, 11, 38, 38},
          {97, 11, 38, 38},
          {141, 11, 38, 38},
          {9, 56, 104, 31},
          {128, 56, 51, 31}},
         {{9, 6, 38, 38},
          {53, 6, 38, 38},
          {97, 6, 38, 38},
          {141, 6, 38, 38},
          {9, 50, 104, 31},
          {128, 50, 51, 31}}},
        {"balloon.width",
         190 + 19 - 147,
         {{8, 18, 6, 7}, {108, 16, 10, 11}, {17, 14, 87, 16}},
         {{8, 14, 6, 7}, {108, 12, 10, 11}, {17, 10, 87, 16}}},
    };
    for (const auto& balloon : balloons) {
        const TBitmap32& b = ArtPicture(balloon.Name);
        EXPECT_EQ(b.Pixel(0, 0), ArtBalloonKey) << balloon.Name;
        EXPECT_EQ(RegionCount(b), 1) << balloon.Name;
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, 0) != ArtBalloonKey) {
                EXPECT_LE(std::abs(x + 0.5 - balloon.TipX), 2) << x;
            }
        const TBitmap32 flipped = FlippedVertically(b);
        for (const auto& r : balloon.Below)
            EXPECT_TRUE(InsideOutline(b, r)) << balloon.Name << " " << r.Left << "," << r.Top;
        for (const auto& r : balloon.Above)
            EXPECT_TRUE(InsideOutline(flipped, r)) << balloon.Name << " " << r.Left << "," << r.Top;
    }
}

} // namespace
