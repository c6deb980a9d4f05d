#include "settings/ReplaceHotKey.h"

#include <gtest/gtest.h>

namespace {
std::wstring LayoutName(std::uint8_t vk) {
    return vk == 0xBA ? L";" : L""; // one key the layout names, the rest unnamed
}

TEST(ShortCutToText, Table) {
    const struct {
        TShortCut Code;
        const wchar_t* Text;
    } cases[] = {
        {0x202C, L"Shift+Prt Scr"},
        {0x802C, L"Alt+Prt Scr"},
        {0x4041, L"Ctrl+A"},
        {0x6070, L"Shift+Ctrl+F1"},
        {0x0000, L""},
        {0x8000, L""},
        {0xE000, L""},
        {0x002C, L"Prt Scr"},
        {0x0008, L"BkSp"},
        {0x0009, L"Tab"},
        {0x000D, L"Enter"},
        {0x001B, L"Esc"},
        {0x0020, L"Space"},
        {0x0021, L"PgUp"},
        {0x0022, L"PgDn"},
        {0x0023, L"End"},
        {0x0024, L"Home"},
        {0x0025, L"Left"},
        {0x0026, L"Up"},
        {0x0027, L"Right"},
        {0x0028, L"Down"},
        {0x002D, L"Ins"},
        {0x402E, L"Ctrl+Del"},
        {0x0030, L"0"},
        {0x0039, L"9"},
        {0x005A, L"Z"},
        {0x005B, L"Win"},
        {0x0060, L"0"},
        {0x0065, L"5"},
        {0x0069, L"9"},
        {0x007B, L"F12"},
        {0x007C, L"F13"},
        {0xE087, L"Shift+Ctrl+Alt+F24"},
        {0x40BA, L"Ctrl+;"},
        {0x40BB, L""},
        {0x7F2C, L"Shift+Ctrl+Prt Scr"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortCutToText(c.Code, LayoutName), c.Text) << std::hex << c.Code;
    EXPECT_EQ(ShortCutToText(0x40BA), L""); // no layout service: no name
}

TEST(HotKeyEditorFont, PointsFromPixelsPerInch) {
    EXPECT_EQ(HotKeyEditorFontPoints(96), 11);
    EXPECT_EQ(HotKeyEditorFontPoints(120), 9);
    EXPECT_EQ(HotKeyEditorFontPoints(144), 7);
}

TEST(PrintScreenKeystroke, OnlyKeystrokesOfPrintScreen) {
    const long long alt = 1LL << 29;
    EXPECT_EQ(PrintScreenKeystrokeAlt(0x100, 0x2C, 0), false);
    EXPECT_EQ(PrintScreenKeystrokeAlt(0x101, 0x2C, alt), true);
    EXPECT_EQ(PrintScreenKeystrokeAlt(0x104, 0x2C, alt), true);
    EXPECT_EQ(PrintScreenKeystrokeAlt(0x105, 0x2C, 0), false);
    EXPECT_EQ(PrintScreenKeystrokeAlt(0x102, 0x2C, 0), std::nullopt); // WM_CHAR
    EXPECT_EQ(PrintScreenKeystrokeAlt(0x100, 0x41, 0), std::nullopt);
}

// One step of a typing sequence: a key going down (with the modifiers then
// held) or any key coming up, and what the box shows and holds afterwards.
struct TStep {
    enum { Down, Up } Kind;
    std::uint16_t Key;
    bool Shift, Ctrl, Alt;
    const wchar_t* Text;
    TShortCut Value;
};

TEST(HotKeyEditor, KeySequences) {
    constexpr std::uint16_t Sh = 0x10, Ct = 0x11, Al = 0x12;
    const struct {
        const char* Name;
        TShortCut Start;
        std::vector<TStep> Steps;
    } cases[] = {
        {"Ctrl then A",
         0,
         {{TStep::Down, Ct, 0, 1, 0, L"Ctrl+", 0},
          {TStep::Down, 'A', 0, 1, 0, L"Ctrl+A", 0x4041},
          {TStep::Up, 'A', 0, 1, 0, L"Ctrl+A", 0x4041},
          {TStep::Up, Ct, 0, 0, 0, L"Ctrl+A", 0x4041}}},
        {"Shift alone",
         0x802C,
         {{TStep::Down, Sh, 1, 0, 0, L"Shift+", 0x802C}, {TStep::Up, Sh, 0, 0, 0, L"", 0x802C}}},
        {"Shift added after Ctrl+A",
         0,
         {{TStep::Down, Ct, 0, 1, 0, L"Ctrl+", 0},
          {TStep::Down, 'A', 0, 1, 0, L"Ctrl+A", 0x4041},
          {TStep::Up, 'A', 0, 1, 0, L"Ctrl+A", 0x4041},
          {TStep::Down, Sh, 1, 1, 0, L"Shift+Ctrl+", 0x4041},
          {TStep::Up, Sh, 0, 1, 0, L"", 0x4041}}},
        {"Print Screen", 0, {{TStep::Down, 0x2C, 0, 0, 0, L"Prt Scr", 0x2C}}},
        {"Alt+Print Screen",
         0,
         {{TStep::Down, Al, 0, 0, 1, L"Alt+", 0},
          {TStep::Down, 0x2C, 0, 0, 1, L"Alt+Prt Scr", 0x802C}}},
        {"Windows key is a main key", 0, {{TStep::Down, 0x5B, 0, 0, 0, L"Win", 0x5B}}},
        {"keypad 5", 0, {{TStep::Down, 0x65, 0, 0, 0, L"5", 0x65}}},
        {"Esc and Tab are main keys",
         0,
         {{TStep::Down, 0x1B, 0, 0, 0, L"Esc", 0x1B},
          {TStep::Down, 0x09, 1, 0, 0, L"Shift+Tab", 0x2009}}},
        {"Ctrl+Shift+F9",
         0,
         {{TStep::Down, Ct, 0, 1, 0, L"Ctrl+", 0},
          {TStep::Down, Sh, 1, 1, 0, L"Shift+Ctrl+", 0},
          {TStep::Down, 0x78, 1, 1, 0, L"Shift+Ctrl+F9", 0x6078}}},
    };
    for (const auto& c : cases) {
        THotKeyEditor editor;
        editor.SetHotKey(c.Start);
        for (const TStep& s : c.Steps) {
            if (s.Kind == TStep::Down)
                editor.KeyDown(s.Key, s.Shift, s.Ctrl, s.Alt);
            else
                editor.KeyUp();
            EXPECT_EQ(editor.Text(), s.Text) << c.Name;
            EXPECT_EQ(editor.HotKey(), s.Value) << c.Name;
        }
    }
}

TEST(HotKeyEditor, ChangeFiresOnlyWhenTheTextChanges) {
    THotKeyEditor editor;
    std::vector<std::wstring> shown;
    int changes = 0;
    editor.OnShow = [&](const std::wstring& t) { shown.push_back(t); };
    editor.OnChange = [&] { ++changes; };
    editor.SetHotKey(0x4041);
    editor.SetHotKey(0x4041);
    editor.SetHotKey(0x8000); // no name: empty, like 0
    editor.SetHotKey(0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Ctrl+A", L""}));
}
} // namespace
