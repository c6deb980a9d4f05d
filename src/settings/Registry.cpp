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
