#include "settings/ReplaceHotKey.h"

#include <cmath>

const std::array<std::wstring_view, 18> KeyCapNames = {
    L"BkSp", L"Tab", L"Esc",   L"Enter", L"Space", L"PgUp", L"PgDn",   L"End",   L"Home",
    L"Left", L"Up",  L"Right", L"Down",  L"Ins",   L"Del",  L"Shift+", L"Ctrl+", L"Alt+"};

namespace {
constexpr std::uint16_t VkShift = 0x10, VkControl = 0x11, VkMenu = 0x12, VkSnapshot = 0x2C;

std::wstring MainKeyName(std::uint8_t k, const TKeyNameFn& keyName) {
    switch (k) {
    case 0x08:
        return std::wstring(KeyCapNames[0]);
    case 0x09:
        return std::wstring(KeyCapNames[1]);
    case 0x0D:
        return std::wstring(KeyCapNames[3]);
    case 0x1B:
        return std::wstring(KeyCapNames[2]);
    case 0x2C:
        return L"Prt Scr";
    case 0x2D:
        return std::wstring(KeyCapNames[13]);
    case 0x2E:
        return std::wstring(KeyCapNames[14]);
    case 0x5B:
        return L"Win";
    }
    if (k >= 0x20 && k <= 0x28) return std::wstring(KeyCapNames[k - 0x20 + 4]);
    if ((k >= 0x30 && k <= 0x39) || (k >= 0x41 && k <= 0x5A)) return std::wstring(1, wchar_t(k));
    if (k >= 0x60 && k <= 0x69) return std::wstring(1, wchar_t(L'0' + (k - 0x60)));
    if (k >= 0x70 && k <= 0x87) return L"F" + std::to_wstring(k - 0x6F);
    return keyName ? keyName(k) : std::wstring();
}

std::wstring ModifierText(bool shift, bool ctrl, bool alt) {
    std::wstring text;
    if (shift) text += KeyCapNames[15];
    if (ctrl) text += KeyCapNames[16];
    if (alt) text += KeyCapNames[17];
    return text;
}
} // namespace

std::wstring ShortCutToText(TShortCut shortCut, const TKeyNameFn& keyName) {
    const std::wstring name = MainKeyName(std::uint8_t(shortCut & 0xFF), keyName);
    if (name.empty()) return {};
    return ModifierText(shortCut & scShift, shortCut & scCtrl, shortCut & scAlt) + name;
}

int HotKeyEditorFontPoints(int pixelsPerInch) {
    if (pixelsPerInch <= 0) pixelsPerInch = 96;
    return int(std::lround(1056.0 / pixelsPerInch));
}

std::optional<bool> PrintScreenKeystrokeAlt(unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    const bool keystroke =
        message == 0x100 || message == 0x101 || message == 0x104 || message == 0x105;
    if (!keystroke || wParam != VkSnapshot) return std::nullopt;
    return ((std::uint64_t(lParam) >> 29) & 1) != 0;
}

void THotKeyEditor::SetHotKey(TShortCut value) {
    FHotKey = value;
    SetText(ShortCutToText(value, FKeyName));
}

void THotKeyEditor::KeyDown(std::uint16_t key, bool shift, bool ctrl, bool alt) {
    if (key == VkShift || key == VkControl || key == VkMenu) {
        FKey = 0;
        SetText(ModifierText(shift, ctrl, alt));
        return;
    }
    FKey = key;
    TShortCut value = TShortCut(key & 0xFF);
    if (alt) value |= scAlt;
    if (ctrl) value |= scCtrl;
    if (shift) value |= scShift;
    SetHotKey(value);
}

void THotKeyEditor::KeyUp() {
    if (FKey == 0) SetText({});
}

void THotKeyEditor::SetText(std::wstring text) {
    if (text == FText) return;
    FText = std::move(text);
    if (OnShow) OnShow(FText);
    if (OnChange) OnChange();
}
