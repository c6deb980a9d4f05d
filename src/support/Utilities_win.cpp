#include "support/Utilities_win.h"

#include "support/Utilities.h"

#include <windows.h>

#include <shellapi.h>

std::wstring GetWindowsDir() {
    wchar_t buffer[2048] = {};
    const UINT length = GetWindowsDirectoryW(buffer, 2048);
    // A length above the buffer size is the size it would have needed.
    if (length == 0 || length >= 2048) return {};
    return std::wstring(TrimBlanks(std::wstring_view(buffer, length)));
}

std::wstring GetSystemVolumeSerial() {
    const auto root = VolumeRootOf(GetWindowsDir());
    wchar_t volumeName[512] = {};
    DWORD serial = 0;
    if (!GetVolumeInformationW(root.c_str(), volumeName, 512, &serial, nullptr, nullptr, nullptr,
                               0))
        return {};
    return std::to_wstring(serial);
}

std::intptr_t OpenInShell(std::wstring_view pathOrAddress) {
    const std::wstring quoted = L"\"" + std::wstring(pathOrAddress) + L"\"";
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result);
}

std::wstring ExeFullPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // Truncated: long paths can exceed MAX_PATH.
        path.resize(path.size() * 2);
    }
}

std::wstring ExeFileName() {
    const auto path = ExeFullPath();
    return path.substr(path.find_last_of(L"\\/") + 1);
}
