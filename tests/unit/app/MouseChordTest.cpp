#include "app/MouseChord.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint32_t LDown = 0x0201, LUp = 0x0202, RDown = 0x0204, RUp = 0x0205;
constexpr std::uint32_t MouseMove = 0x0200, MDown = 0x0207, Wheel = 0x020A;

TEST(MouseChord, SecondPressWhileFirstHeldFiresInEitherOrder) {
    TMouseChord rightFirst;
    EXPECT_FALSE(rightFirst.OnMessage(RDown, true));
    EXPECT_TRUE(rightFirst.OnMessage(LDown, true));

    TMouseChord leftFirst;
    EXPECT_FALSE(leftFirst.OnMessage(LDown, true));
    EXPECT_FALSE(leftFirst.OnMessage(MouseMove, true));
    EXPECT_TRUE(leftFirst.OnMessage(RDown, true));
}

TEST(MouseChord, ReleasedFirstButtonOrDisabledSettingNeverFires) {
    TMouseChord chord;
    chord.OnMessage(LDown, true);
    chord.OnMessage(LUp, true);
    EXPECT_FALSE(chord.OnMessage(RDown, true));
    chord.OnMessage(RUp, true);

    TMouseChord off;
    off.OnMessage(LDown, false);
    EXPECT_FALSE(off.OnMessage(RDown, false));
    // The state is tracked while disabled, so enabling it later is consistent.
    EXPECT_TRUE(off.OnMessage(LDown, true));
}

TEST(MouseChord, OtherMessagesDoNotDisturbTheState) {
    TMouseChord chord;
    chord.OnMessage(RDown, true);
    for (auto m : {MouseMove, MDown, Wheel})
        EXPECT_FALSE(chord.OnMessage(m, true));
    EXPECT_TRUE(chord.OnMessage(LDown, true));
    // Holding both: another left press (after a left up) fires again.
    chord.OnMessage(LUp, true);
    EXPECT_TRUE(chord.OnMessage(LDown, true));
}
} // namespace
