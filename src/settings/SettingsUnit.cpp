#include "settings/SettingsUnit.h"

#include <bit>
#include <cmath>

TSettings Settings;

std::wstring TextFontName = L"Noto Sans";
std::int32_t TextFontSize = 15;
TFontStyles TextFontStyle = 0;

TShortCut& HotKeyOf(TSettings& settings, TTypeHotKey kind) {
    switch (kind) {
    case thkAll:
        return settings.hkAllScreen;
    case thkWin:
        return settings.hkWindow;
    case thkArea:
        break;
    }
    return settings.hkAreaScreen;
}

std::wstring GetDefaultPath(std::optional<std::wstring_view> picturesFolder) {
    if (!picturesFolder) return {};
    std::wstring path(picturesFolder->substr(0, picturesFolder->find(L'\0')));
    // An empty answer would turn into "\Kadrix\" on whatever drive is current.
    if (path.empty()) return {};
    if (path.back() != L'\\') path += L'\\';
    return path + L"Kadrix\\";
}

void InitSettings(TRegistry& registry, TSettings& settings, std::wstring_view defaultPath) {
    settings = TSettings{};
    settings.path = defaultPath;
    settings.RunWinStart = IsRunWinStart(registry);
    LoadRegSettings(registry, settings, defaultPath);
}

namespace {
void LoadBool(const TRegKey& key, std::wstring_view name, bool& field) {
    if (auto v = key.ReadDword(name)) field = *v != 0;
}

void LoadInt(const TRegKey& key, std::wstring_view name, std::int32_t& field) {
    if (auto v = key.ReadDword(name)) field = static_cast<std::int32_t>(*v);
}

void LoadHotKey(const TRegKey& key, std::wstring_view name, TShortCut& field) {
    if (auto v = key.ReadDword(name)) field = static_cast<TShortCut>(*v & 0xFFFF);
}

void LoadString(const TRegKey& key, std::wstring_view name, std::wstring& field) {
    if (auto v = key.ReadString(name)) field = std::move(*v);
}
} // namespace

bool LoadRegSettings(TRegistry& registry, TSettings& settings, std::wstring_view defaultPath) {
    if (!registry.KeyExists(SettingsKey)) return false;
    const auto key = registry.OpenKey(SettingsKey, false);
    if (!key) return false;

    if (auto v = key->ReadDword(L"pencolor")) settings.pencolor = *v;
    LoadInt(*key, L"wincolor", settings.wincolor);
    LoadString(*key, L"path", settings.path);
    LoadBool(*key, L"showcursor", settings.showcursor);
    LoadBool(*key, L"playsound", settings.playsound);
    LoadHotKey(*key, L"hkAllScreen", settings.hkAllScreen);
    LoadHotKey(*key, L"hkAreaScreen", settings.hkAreaScreen);
    LoadHotKey(*key, L"hkWindow", settings.hkWindow);
    LoadBool(*key, L"TwoMouse", settings.TwoMouse);
    LoadBool(*key, L"Server", settings.Server);
    LoadBool(*key, L"SaveLocal", settings.SaveLocal);
    LoadInt(*key, L"format", settings.format);
    LoadBool(*key, L"ShowRedact", settings.ShowRedact);
    LoadBool(*key, L"OpenURL", settings.OpenURL);

    if (settings.path.empty()) settings.path = defaultPath;
    // File names are appended to the folder directly; a hand-edited value may lack the separator.
    if (!settings.path.empty() && settings.path.back() != L'\\') settings.path += L'\\';
    LoadString(*key, L"lastpath", settings.lastpath);
    return true;
}

void SaveRegSettings(TRegistry& registry, const TSettings& settings, std::wstring_view exeFileName,
                     std::wstring_view exeFullPath) {
    if (!registry.KeyExists(SettingsKey) && !registry.CreateKey(SettingsKey))
        throw ERegistryException::CreateKeyFailed(SettingsKey);

    if (const auto key = registry.OpenKey(SettingsKey, false)) {
        key->WriteDword(L"pencolor", settings.pencolor);
        key->WriteDword(L"wincolor", static_cast<std::uint32_t>(settings.wincolor));
        key->WriteString(L"path", settings.path);
        key->WriteBool(L"showcursor", settings.showcursor);
        key->WriteBool(L"playsound", settings.playsound);
        key->WriteDword(L"hkAllScreen", settings.hkAllScreen);
        key->WriteDword(L"hkAreaScreen", settings.hkAreaScreen);
        key->WriteDword(L"hkWindow", settings.hkWindow);
        key->WriteBool(L"TwoMouse", settings.TwoMouse);
        key->WriteBool(L"Server", settings.Server);
        key->WriteBool(L"SaveLocal", settings.SaveLocal);
        key->WriteDword(L"format", static_cast<std::uint32_t>(settings.format));
        key->WriteBool(L"ShowRedact", settings.ShowRedact);
        key->WriteBool(L"OpenURL", settings.OpenURL);
    }
    SetRunWinStart(registry, settings.RunWinStart, exeFileName, exeFullPath);
}

bool IsRunWinStart(TRegistry& registry) noexcept {
    try {
        const auto key = registry.OpenKey(RunKey, false);
        return key && key->ValueExists(RunValueName);
    } catch (...) {
        return false;
    }
}

std::wstring RunValueNameFor(std::wstring_view exeFileName) {
    const auto exe = exeFileName.find(L".exe");
    if (exe != std::wstring_view::npos && exe > 0) return std::wstring(exeFileName.substr(0, exe));
    // An empty name would address the Run key's default value, which is not ours.
    return std::wstring(exeFileName.substr(0, exeFileName.rfind(L'.')));
}

std::wstring RunValueData(std::wstring_view exeFullPath) {
    return L"\"" + std::wstring(exeFullPath) + L"\"";
}

void SetRunWinStart(TRegistry& registry, bool enable, std::wstring_view exeFileName,
                    std::wstring_view exeFullPath) {
    const auto name = RunValueNameFor(exeFileName);
    if (name.empty()) return;
    const auto key = registry.OpenKey(RunKey, false);
    if (!key) return;
    if (enable)
        key->WriteString(name, RunValueData(exeFullPath));
    else
        key->DeleteValue(name);
}

std::unique_ptr<TRegKey> OpenSettingsKey(TRegistry* registry) noexcept {
    if (!registry) return nullptr;
    try {
        return registry->OpenKey(SettingsKey, true);
    } catch (...) {
        return nullptr;
    }
}

std::array<std::uint8_t, 8> EncodeRegDate(TDate date) {
    const auto bits = std::bit_cast<std::uint64_t>(date);
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return bytes;
}

std::optional<TDate> DecodeRegDate(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != 8) return std::nullopt;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i)
        bits |= std::uint64_t(bytes[i]) << (8 * i);
    const auto date = std::bit_cast<TDate>(bits);
    // NaN or infinity would make every "is it due yet" comparison false forever.
    if (!std::isfinite(date)) return std::nullopt;
    return date;
}

TDate ReadRegDate(TRegistry& registry, std::wstring_view name) noexcept {
    try {
        const auto key = registry.OpenKey(SettingsKey, false);
        if (!key) return 0;
        const auto bytes = key->ReadBinary(name);
        if (!bytes) return 0;
        return DecodeRegDate(*bytes).value_or(0);
    } catch (...) {
        return 0;
    }
}

void WriteRegDate(TRegistry& registry, std::wstring_view name, TDate date) {
    if (!registry.KeyExists(SettingsKey) && !registry.CreateKey(SettingsKey))
        throw ERegistryException::CreateKeyFailed(SettingsKey);
    if (const auto key = registry.OpenKey(SettingsKey, false))
        key->WriteBinary(name, EncodeRegDate(date));
}
