#include "app/MouseChord.h"

bool TMouseChord::OnMessage(std::uint32_t message, bool twoMouseEnabled) {
    switch (static_cast<TMouseEvent>(message)) {
    case TMouseEvent::LeftDown:
        FLastLeft = message;
        return twoMouseEnabled && FLastRight == static_cast<std::uint32_t>(TMouseEvent::RightDown);
    case TMouseEvent::LeftUp:
        FLastLeft = message;
        return false;
    case TMouseEvent::RightDown:
        FLastRight = message;
        return twoMouseEnabled && FLastLeft == static_cast<std::uint32_t>(TMouseEvent::LeftDown);
    case TMouseEvent::RightUp:
        FLastRight = message;
        return false;
    }
    return false;
}
