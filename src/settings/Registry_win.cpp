#include "settings/Registry_win.h"

#include <windows.h>

#include <type_traits>

static_assert(TRegValue::RegSz == REG_SZ && TRegValue::RegExpandSz == REG_EXPAND_SZ &&
              TRegValue::RegBinary == REG_BINARY && TRegValue::RegDword == REG_DWORD);

namespace {
struct THKeyCloser {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using THKey = std::unique_ptr<std::remove_pointer_t<HKEY>, THKeyCloser>;

// RegOpenKeyExW wants the path relative to the root, without a leading separator.
std::wstring RelativePath(std::wstring_view path) {
    while (!path.empty() && path.front() == L'\\')
        path.remove_prefix(1);
    return std::wstring(path);
}

LSTATUS Open(std::wstring_view path, REGSAM access, THKey& key) {
    HKEY opened = nullptr;
    const auto status =
        RegOpenKeyExW(HKEY_CURRENT_USER, RelativePath(path).c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) key.reset(opened);
    return status;
}

class TWinRegKey final : public TRegKey {
public:
    explicit TWinRegKey(THKey key) : FKey(std::move(key)) {}

    std::optional<TRegValue> Read(std::wstring_view name) const override {
        const std::wstring valueName(name);
        std::vector<std::uint8_t> data;
        DWORD type = 0;
        // The value may grow between asking for its size and reading it.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD size = 0;
            if (RegQueryValueExW(FKey.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                return std::nullopt;
            data.resize(size);
            const auto status =
                RegQueryValueExW(FKey.get(), valueName.c_str(), nullptr, &type, data.data(), &size);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) return std::nullopt;
            data.resize(size);
            return TRegValue::FromRaw(type, data);
        }
        return std::nullopt;
    }

    void WriteDword(std::wstring_view name, std::uint32_t value) override {
        const DWORD data = value;
        Set(name, REG_DWORD, &data, sizeof data);
    }

    void WriteString(std::wstring_view name, std::wstring_view value) override {
        const std::wstring data(value);
        Set(name, REG_SZ, data.c_str(), DWORD((data.size() + 1) * sizeof(wchar_t)));
    }

    void WriteBinary(std::wstring_view name, std::span<const std::uint8_t> value) override {
        Set(name, REG_BINARY, value.data(), DWORD(value.size()));
    }

    bool DeleteValue(std::wstring_view name) override {
        const auto status = RegDeleteValueW(FKey.get(), std::wstring(name).c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

private:
    void Set(std::wstring_view name, DWORD type, const void* data, DWORD size) {
        if (RegSetValueExW(FKey.get(), std::wstring(name).c_str(), 0, type,
                           static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
            throw ERegistryException::SetDataFailed(name);
    }

    THKey FKey;
};
} // namespace

bool TWinRegistry::KeyExists(std::wstring_view path) const {
    THKey key;
    const auto status = Open(path, KEY_QUERY_VALUE, key);
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

std::unique_ptr<TRegKey> TWinRegistry::OpenKey(std::wstring_view path, bool create) {
    THKey key;
    // A key we may only read still serves the readers; writers then raise.
    if (Open(path, KEY_READ | KEY_WRITE, key) == ERROR_ACCESS_DENIED) Open(path, KEY_READ, key);
    if (!key && create) {
        HKEY created = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, RelativePath(path).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &created,
                            nullptr) == ERROR_SUCCESS)
            key.reset(created);
    }
    if (!key) return nullptr;
    return std::make_unique<TWinRegKey>(std::move(key));
}
