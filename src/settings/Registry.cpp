#include "settings/Registry.h"

#include "support/Utilities.h"

ERegistryException ERegistryException::SetDataFailed(std::wstring_view valueName) {
    return ERegistryException("Failed to set data for '" + WideToUtf8(valueName) + "'");
}

ERegistryException ERegistryException::CreateKeyFailed(std::wstring_view keyPath) {
    return ERegistryException("Failed to create key " + WideToUtf8(keyPath));
}

std::optional<std::uint32_t> TRegKey::ReadDword(std::wstring_view name) const {
    auto v = Read(name);
    if (!v || v->Kind != TRegValue::TKind::Dword) return std::nullopt;
    return v->Dword;
}

std::optional<std::wstring> TRegKey::ReadString(std::wstring_view name) const {
    auto v = Read(name);
    if (!v || v->Kind != TRegValue::TKind::String) return std::nullopt;
    return std::move(v->String);
}

std::optional<std::vector<std::uint8_t>> TRegKey::ReadBinary(std::wstring_view name) const {
    auto v = Read(name);
    if (!v || v->Kind != TRegValue::TKind::Binary) return std::nullopt;
    return std::move(v->Binary);
}

TRegValue TRegValue::FromRaw(std::uint32_t type, std::span<const std::uint8_t> data) {
    switch (type) {
    case RegDword:
        if (data.size() != 4) break;
        return OfDword(std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                       std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24);
    case RegSz:
    case RegExpandSz: {
        // By code unit, whatever the width of wchar_t here; an odd last byte
        // is no whole unit.
        std::wstring text;
        text.reserve(data.size() / 2);
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            const wchar_t unit = wchar_t(data[i] | data[i + 1] << 8);
            if (unit == 0) break;
            text += unit;
        }
        return OfString(text);
    }
    case RegBinary:
        return OfBinary(data);
    default:
        break;
    }
    return OfOther();
}
