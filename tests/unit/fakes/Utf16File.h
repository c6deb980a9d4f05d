#pragma once
// An update file as the service writes it: UTF-16 LE after a byte-order mark.
#include <string>
#include <string_view>

inline std::string Utf16File(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}
