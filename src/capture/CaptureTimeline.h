#pragma once
// When the last capture passed each step from its hotkey to the first frame
// handed to the window system: the latency benchmark's breakdown. A few
// clock reads per capture, so it stays in the shipped program.
#include <array>
#include <chrono>
#include <cstddef>

enum class TCaptureStep {
    HotKey,     // the capture request arrived
    GrabStart,  // screen copy begins
    Grabbed,    // the screen is in memory
    Converted,  // the working image is ready
    ShowStart,  // the overlay window is being shown
    PaintStart, // first paint begins
    Composed,   // first frame composed
    Painted,    // first frame handed to the window system
    HotKeyDone, // the request's handler returned
    Count
};

class TCaptureTimeline {
public:
    using TClock = std::chrono::steady_clock;

    // A new capture: every step unset, this one set now.
    void Start(TCaptureStep step) {
        FAt.fill({});
        Mark(step);
    }
    // Keeps the first time of a step: later paints do not move it.
    void Mark(TCaptureStep step) {
        auto& at = FAt[std::size_t(step)];
        if (at == TClock::time_point{}) at = TClock::now();
    }
    TClock::time_point At(TCaptureStep step) const { return FAt[std::size_t(step)]; }

private:
    std::array<TClock::time_point, std::size_t(TCaptureStep::Count)> FAt{};
};

inline TCaptureTimeline CaptureTimeline;
