#pragma once
// Access to the current user's registry hive, behind an interface so the
// settings logic runs natively against an in-memory double. Key paths are
// relative to HKEY_CURRENT_USER; a leading backslash is allowed.
//
// Readers never raise: a missing value, an unreadable one and one of an
// unexpected type all read as "not there", so a damaged key cannot stop the
// program from starting. Writers raise ERegistryException.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    // "Failed to set data for '<name>'"
    static ERegistryException SetDataFailed(std::wstring_view valueName);
    // "Failed to create key <path>"
    static ERegistryException CreateKeyFailed(std::wstring_view keyPath);
};

struct TRegValue {
    enum class TKind { Dword, String, Binary, Other };

    TKind Kind = TKind::Other;
    std::uint32_t Dword = 0;
    std::wstring String;
    std::vector<std::uint8_t> Binary;

    static TRegValue OfDword(std::uint32_t v) { return {TKind::Dword, v, {}, {}}; }
    static TRegValue OfString(std::wstring_view v) {
        return {TKind::String, 0, std::wstring(v), {}};
    }
    static TRegValue OfBinary(std::span<const std::uint8_t> v) {
        return {TKind::Binary, 0, {}, {v.begin(), v.end()}};
    }
    // A value of a type the program never writes (REG_QWORD, REG_MULTI_SZ...).
    static TRegValue OfOther() { return {}; }

    // The registry's own type numbers.
    enum : std::uint32_t { RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4 };
    // A value as the registry hands it over: any type, any bytes. Strings are
    // UTF-16LE, need not be terminated and may carry garbage after a NUL; a
    // DWORD of another size is of no type the program knows.
    static TRegValue FromRaw(std::uint32_t type, std::span<const std::uint8_t> data);

    bool operator==(const TRegValue&) const = default;
};

// An open key; closed when destroyed.
class TRegKey {
public:
    virtual ~TRegKey() = default;

    virtual std::optional<TRegValue> Read(std::wstring_view name) const = 0;
    virtual void WriteDword(std::wstring_view name, std::uint32_t value) = 0;
    virtual void WriteString(std::wstring_view name, std::wstring_view value) = 0;
    virtual void WriteBinary(std::wstring_view name, std::span<const std::uint8_t> value) = 0;
    // True when the value is gone afterwards (deleting a missing value succeeds).
    virtual bool DeleteValue(std::wstring_view name) = 0;

    bool ValueExists(std::wstring_view name) const { return Read(name).has_value(); }
    // Typed reads: nullopt when the value is missing or of another type.
    std::optional<std::uint32_t> ReadDword(std::wstring_view name) const;
    std::optional<std::wstring> ReadString(std::wstring_view name) const;
    std::optional<std::vector<std::uint8_t>> ReadBinary(std::wstring_view name) const;

    void WriteBool(std::wstring_view name, bool value) { WriteDword(name, value ? 1 : 0); }
};

class TRegistry {
public:
    virtual ~TRegistry() = default;

    virtual bool KeyExists(std::wstring_view path) const = 0;
    // nullptr when the key is missing (and create is false) or cannot be
    // opened or created; never raises.
    virtual std::unique_ptr<TRegKey> OpenKey(std::wstring_view path, bool create) = 0;

    // Creates the key if missing; false on failure.
    bool CreateKey(std::wstring_view path) { return OpenKey(path, true) != nullptr; }
};
