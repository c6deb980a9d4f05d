#pragma once
// Mouse events and cursors as the layered image view passes them on. The
// Win32 host decodes its messages into these once and maps TCursorKind to
// system cursors (crCross is the process's own crosshair).
#include <cstdint>

enum TShiftKey : std::uint8_t {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40 // the second press of a double click
};

// Keys and buttons held during a mouse event.
class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(TShiftKey key) : FBits(key) {}

    constexpr bool Contains(TShiftKey key) const { return (FBits & key) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool AnyButton() const { return (FBits & (ssLeft | ssRight | ssMiddle)) != 0; }

    constexpr TShiftState operator|(TShiftState o) const { return FromBits(FBits | o.FBits); }
    constexpr TShiftState Without(TShiftState o) const { return FromBits(FBits & ~o.FBits); }

    friend constexpr bool operator==(TShiftState, TShiftState) = default;

private:
    static constexpr TShiftState FromBits(unsigned bits) {
        TShiftState s;
        s.FBits = static_cast<std::uint8_t>(bits);
        return s;
    }

    std::uint8_t FBits = 0;
};

constexpr TShiftState operator|(TShiftKey a, TShiftKey b) {
    return TShiftState(a) | b;
}

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

constexpr TShiftKey ButtonKey(TMouseButton button) {
    return button == mbRight ? ssRight : button == mbMiddle ? ssMiddle : ssLeft;
}

// X, Y in view coordinates (= image coordinates). Button is the button that
// went down or up; moves leave it at mbLeft and carry the held buttons in Shift.
struct TViewMouse {
    int X = 0;
    int Y = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
};

// crDefault means "no preference": the view's own cursor applies.
enum TCursorKind : std::uint8_t {
    crDefault,
    crArrow,
    crCross,
    crSizeAll,
    crSizeNS,
    crSizeWE,
    crSizeNWSE,
    crSizeNESW,
    crIBeam,
    crHandPoint
};
