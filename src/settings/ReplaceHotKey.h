#pragma once
// The hotkey editor's rules without the edit box: the display text of a
// TShortCut and what each keystroke does to the value and the text. The
// Win32 edit box feeds it its key messages and shows its text.
#include "settings/SettingsUnit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The keyboard layout's name for a virtual key outside the table (empty
// when it has none).
using TKeyNameFn = std::function<std::wstring(std::uint8_t virtualKey)>;

extern const std::array<std::wstring_view, 18> KeyCapNames;

// Modifiers alone, or a main key without a name, give the empty string.
std::wstring ShortCutToText(TShortCut shortCut, const TKeyNameFn& keyName = {});

// The editor's font size in points at the screen's pixels per inch.
int HotKeyEditorFontPoints(int pixelsPerInch);

// A keystroke message (key down or up, plain or system) for Print Screen:
// the Alt state from its context-code bit; nullopt for any other message.
std::optional<bool> PrintScreenKeystrokeAlt(unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam);

class THotKeyEditor {
public:
    explicit THotKeyEditor(TKeyNameFn keyName = {}) : FKeyName(std::move(keyName)) {}

    TShortCut HotKey() const { return FHotKey; }
    void SetHotKey(TShortCut value);
    const std::wstring& Text() const { return FText; }
    std::uint16_t Key() const { return FKey; }

    void KeyDown(std::uint16_t key, bool shift, bool ctrl, bool alt);
    void KeyUp();

    // The shown text changed: first the view, then the owner's handler.
    std::function<void(const std::wstring&)> OnShow;
    std::function<void()> OnChange;
    std::function<void()> OnDblClick;

private:
    void SetText(std::wstring text);

    TKeyNameFn FKeyName;
    std::uint16_t FKey = 0;
    TShortCut FHotKey = 0;
    std::wstring FText;
};
