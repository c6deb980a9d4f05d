#include "capture/HotKeys.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {
TEST(HotKeys, ShortCutToRegistration) {
    struct TCase {
        TShortCut Code;
        THotKeyRegistration Expected;
    };
    const TCase cases[] = {
        {0x002C, {0, 0x2C}},
        {0x202C, {HotKeyModShift, 0x2C}},
        {0x802C, {HotKeyModAlt, 0x2C}},
        {0x6053, {HotKeyModControl | HotKeyModShift, 0x53}},
        {0x1F2C, {0, 0x2C}}, // bits 8-12 carry nothing
        {0, {0, 0}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(HotKeyRegistration(c.Code), c.Expected) << c.Code;
}

// Holds combinations system-wide, as the system does: one owner each.
class TFakePlatform : public THotKeyPlatform {
public:
    std::uint16_t AddAtom(std::wstring_view name) override {
        Log.push_back(L"atom " + std::wstring(name));
        return static_cast<std::uint16_t>(0xC000 + Log.size());
    }
    void Unregister(std::uint16_t id) override {
        Log.push_back(L"unregister");
        std::erase_if(Held, [id](const auto& h) { return h.second == id; });
    }
    bool Register(std::uint16_t id, std::uint32_t mods, std::uint32_t vk) override {
        Log.push_back(L"register " + std::to_wstring(mods) + L" " + std::to_wstring(vk));
        return Held.emplace(std::pair{mods, vk}, id).second;
    }

    std::vector<std::wstring> Log;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint16_t> Held;
};

TEST(HotKeys, RegistrationAndMessages) {
    TFakePlatform platform;
    THotKeys keys(platform);
    EXPECT_EQ(keys.CaptureForHotKey(0), std::nullopt);

    EXPECT_TRUE(keys.RegHotKey(thkAll, 0x202C));
    EXPECT_TRUE(keys.RegHotKey(thkWin, 0x802C));
    EXPECT_TRUE(keys.RegHotKey(thkArea, 0x002C));
    // Registering again drops the old combination first, on the same atom.
    EXPECT_TRUE(keys.RegHotKey(thkArea, 0x002C));
    const std::vector<std::wstring> expected{L"atom KX all",  L"unregister",   L"register 4 44",
                                             L"atom KX win",  L"unregister",   L"register 1 44",
                                             L"atom KX area", L"unregister",   L"register 0 44",
                                             L"unregister",   L"register 0 44"};
    EXPECT_EQ(platform.Log, expected);

    EXPECT_EQ(keys.CaptureForHotKey(keys.atom_all), tsAllScreens);
    EXPECT_EQ(keys.CaptureForHotKey(keys.atom_win), tsWindow);
    EXPECT_EQ(keys.CaptureForHotKey(keys.atom_area), tsArea);
    EXPECT_EQ(keys.CaptureForHotKey(0xBFFF), std::nullopt);

    // The whole-screen combination is taken: area is left with no hotkey.
    EXPECT_FALSE(keys.RegHotKey(thkArea, 0x202C));
    EXPECT_EQ(platform.Held.size(), 2u);
}
} // namespace
