#include "capture/HotKeys.h"

THotKeyRegistration HotKeyRegistration(TShortCut hk) {
    THotKeyRegistration r;
    if (hk & scShift) r.Modifiers |= HotKeyModShift;
    if (hk & scCtrl) r.Modifiers |= HotKeyModControl;
    if (hk & scAlt) r.Modifiers |= HotKeyModAlt;
    r.VirtualKey = hk & 0xFF;
    return r;
}

std::wstring_view HotKeyAtomName(TTypeHotKey kind) {
    switch (kind) {
    case thkAll:
        return L"KX all";
    case thkWin:
        return L"KX win";
    case thkArea:
        return L"KX area";
    }
    return {};
}

TTypeSelect CaptureKindOf(TTypeHotKey kind) {
    switch (kind) {
    case thkAll:
        return tsAllScreens;
    case thkWin:
        return tsWindow;
    case thkArea:
        return tsArea;
    }
    return tsArea;
}

std::uint16_t& THotKeys::IdOf(TTypeHotKey kind) {
    switch (kind) {
    case thkAll:
        return atom_all;
    case thkWin:
        return atom_win;
    case thkArea:
        break;
    }
    return atom_area;
}

bool THotKeys::RegHotKey(TTypeHotKey tp, TShortCut hk) {
    std::uint16_t& id = IdOf(tp);
    if (id == 0) id = FPlatform.AddAtom(HotKeyAtomName(tp));
    // Without an atom there is no id of ours to register under.
    if (id == 0) return false;

    const THotKeyRegistration reg = HotKeyRegistration(hk);
    FPlatform.Unregister(id);
    return FPlatform.Register(id, reg.Modifiers, reg.VirtualKey);
}

std::optional<TTypeSelect> THotKeys::CaptureForHotKey(std::uintptr_t wParam) const {
    // Atoms are distinct, so at most one matches; 0 is never one of ours.
    if (wParam == 0) return std::nullopt;
    if (wParam == atom_all) return CaptureKindOf(thkAll);
    if (wParam == atom_win) return CaptureKindOf(thkWin);
    if (wParam == atom_area) return CaptureKindOf(thkArea);
    return std::nullopt;
}
