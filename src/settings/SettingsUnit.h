#pragma once
// The process-wide settings record and its registry layout. Every part reads
// `Settings` directly at the moment it needs a value; the registry is the only
// persistent store. The functions take the registry (and whatever else comes
// from the OS) as arguments so the whole load/save logic runs natively; the
// Win32 wiring lives in SettingsUnit_win.
#include "gfx/Color32.h"
#include "settings/Registry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Virtual-key code in the low byte, plus the modifier bits below; 0 = none.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

enum TTypeHotKey : std::uint8_t { thkAll = 0, thkWin = 1, thkArea = 2 };

struct TSettings {
    std::int32_t penwidth = 5; // never stored
    TColor32 pencolor = 0xFFFF0000;
    TColor wincolor = 255;
    bool RunWinStart = false; // mirrors the Run key, not stored under SettingsKey
    std::wstring path;        // ends with a backslash when not empty
    bool showcursor = false;
    bool playsound = true;
    TShortCut hkAllScreen = 0x202C;
    TShortCut hkAreaScreen = 0x002C;
    TShortCut hkWindow = 0x802C;
    bool TwoMouse = true;
    bool Server = true;
    bool SaveLocal = false;
    std::int32_t format = 0;
    bool ShowRedact = true;
    bool OpenURL = true;
    std::wstring lastpath; // written by the save-as flow, not by SaveRegSettings

    bool operator==(const TSettings&) const = default;
};

TShortCut& HotKeyOf(TSettings& settings, TTypeHotKey kind);

extern TSettings Settings;

// Text tool font; changed by the font panel, never stored. The style byte
// holds the font style bits: bold 1, italic 2, underline 4, strikeout 8.
using TFontStyles = std::uint8_t;

extern std::wstring TextFontName;
extern std::int32_t TextFontSize;
extern TFontStyles TextFontStyle;

inline constexpr std::wstring_view ProductTitle = L"Kadrix";
inline constexpr std::wstring_view SettingsKey = L"Software\\Orvik Software\\Kadrix";
inline constexpr std::wstring_view RunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::wstring_view RunValueName = L"Kadrix";

// Pictures folder (nullopt or empty when the shell could not tell) -> the
// default save folder "<pictures>\Kadrix\", or empty.
std::wstring GetDefaultPath(std::optional<std::wstring_view> picturesFolder);

// Fills `settings` with the defaults, then loads the stored values.
void InitSettings(TRegistry& registry, TSettings& settings, std::wstring_view defaultPath);

// True when SettingsKey existed and could be opened.
bool LoadRegSettings(TRegistry& registry, TSettings& settings, std::wstring_view defaultPath);

// Writes the record, then applies RunWinStart to the Run key. Raises
// ERegistryException when the key cannot be created or a value not written.
void SaveRegSettings(TRegistry& registry, const TSettings& settings, std::wstring_view exeFileName,
                     std::wstring_view exeFullPath);

bool IsRunWinStart(TRegistry& registry) noexcept;

// The Run value name for an executable file name: the part before the first
// ".exe", else the name without its extension; empty means "leave it alone".
std::wstring RunValueNameFor(std::wstring_view exeFileName);

// The Run value's data: the path in double quotes, so a path with blanks
// ("C:\Users\Anna Petrova\...") never starts "C:\Users\Anna.exe". An old
// unquoted value still counts as enabled (IsRunWinStart tests the name only)
// and the next save rewrites it quoted.
std::wstring RunValueData(std::wstring_view exeFullPath);

void SetRunWinStart(TRegistry& registry, bool enable, std::wstring_view exeFileName,
                    std::wstring_view exeFullPath);

// SettingsKey, created if missing; nullptr (never raises) on failure or
// without a registry.
std::unique_ptr<TRegKey> OpenSettingsKey(TRegistry* registry) noexcept;

// Dates are days since 1899-12-30, the fraction being the time of day,
// stored as an 8-byte little-endian IEEE double.
using TDate = double;
std::array<std::uint8_t, 8> EncodeRegDate(TDate date);
// nullopt unless exactly 8 bytes holding a finite number.
std::optional<TDate> DecodeRegDate(std::span<const std::uint8_t> bytes);

// 0 when the key or value is missing or malformed.
TDate ReadRegDate(TRegistry& registry, std::wstring_view name) noexcept;
void WriteRegDate(TRegistry& registry, std::wstring_view name, TDate date);
