#include "settings/SettingsUnit_win.h"

#include "settings/Registry_win.h"
#include "support/Utilities_win.h"

#include <windows.h>

#include <shlobj.h>

void SettingsStartup() {
    InitSettings(ProcessRegistry(), Settings, DefaultSavePath());
}

TRegistry& ProcessRegistry() {
    static TWinRegistry registry;
    return registry;
}

void SaveSettings() {
    SaveRegSettings(ProcessRegistry(), Settings, ExeFileName(), ExeFullPath());
}

std::optional<std::wstring> PicturesFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return std::nullopt;
    return std::wstring(buffer, wcsnlen(buffer, MAX_PATH));
}

std::wstring DefaultSavePath() {
    const auto folder = PicturesFolder();
    return folder ? GetDefaultPath(std::wstring_view(*folder)) : GetDefaultPath(std::nullopt);
}
