#pragma once
// Left+right button chord detection, kept apart from the low-level hook so
// the decision can be tested without Windows. The chord fires on the press
// of the second button while the first one is still held, in either order,
// with no time limit between the presses.
#include <cstdint>

enum class TMouseEvent : std::uint32_t {
    LeftDown = 0x0201,
    LeftUp = 0x0202,
    RightDown = 0x0204,
    RightUp = 0x0205,
};

class TMouseChord {
public:
    // Feeds one hook message; true means "start a capture and swallow it".
    // Messages other than the four left/right button events are ignored.
    bool OnMessage(std::uint32_t message, bool twoMouseEnabled);

private:
    std::uint32_t FLastLeft = 0;
    std::uint32_t FLastRight = 0;
};
