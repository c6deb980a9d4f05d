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
