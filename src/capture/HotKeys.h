#pragma once
// The three system-wide capture hotkeys, minus the system calls: how a
// TShortCut becomes a registration, the order of unregistering and
// registering, the atom that names each kind, and which capture a hotkey
// message starts. The Win32 side implements THotKeyPlatform over a hidden
// window it creates on first use.
#include "capture/SelectionGeometry.h"
#include "settings/SettingsUnit.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Registration modifier flags (the system's values; named apart from its
// macros so this header can sit beside them).
constexpr std::uint32_t HotKeyModAlt = 1;
constexpr std::uint32_t HotKeyModControl = 2;
constexpr std::uint32_t HotKeyModShift = 4;

struct THotKeyRegistration {
    std::uint32_t Modifiers = 0;
    std::uint32_t VirtualKey = 0;

    friend constexpr bool operator==(const THotKeyRegistration&,
                                     const THotKeyRegistration&) = default;
};

// Bits 8-12 of the code carry nothing and are dropped.
THotKeyRegistration HotKeyRegistration(TShortCut hk);

std::wstring_view HotKeyAtomName(TTypeHotKey kind);
TTypeSelect CaptureKindOf(TTypeHotKey kind);

class THotKeyPlatform {
public:
    virtual ~THotKeyPlatform() = default;
    // Global atom for the name (0xC000..0xFFFF); 0 on failure.
    virtual std::uint16_t AddAtom(std::wstring_view name) = 0;
    // Failure (nothing registered under the id) is not an error.
    virtual void Unregister(std::uint16_t id) = 0;
    virtual bool Register(std::uint16_t id, std::uint32_t modifiers, std::uint32_t virtualKey) = 0;
};

class THotKeys {
public:
    explicit THotKeys(THotKeyPlatform& platform) : FPlatform(platform) {}

    // Drops the kind's previous combination, then registers hk (0 included);
    // true when the system accepted it. A combination held elsewhere leaves
    // the kind without a hotkey.
    bool RegHotKey(TTypeHotKey tp, TShortCut hk);

    // The capture a WM_HOTKEY with this wParam starts, if it is one of ours.
    std::optional<TTypeSelect> CaptureForHotKey(std::uintptr_t wParam) const;

    // 0 until the kind's atom has been added; each is added once per process.
    std::uint16_t atom_all = 0;
    std::uint16_t atom_win = 0;
    std::uint16_t atom_area = 0;

private:
    std::uint16_t& IdOf(TTypeHotKey kind);

    THotKeyPlatform& FPlatform;
};
