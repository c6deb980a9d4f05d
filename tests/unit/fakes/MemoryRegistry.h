#pragma once
// In-memory registry hive. Key paths and value names compare without regard
// to case, as in the real registry. Failures are simulated per key path
// (cannot open, cannot create) and per value name (write fails), and every
// write and delete is recorded in order.
#include "settings/Registry.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class TMemoryRegistry final : public TRegistry {
public:
    struct TNoCase {
        using is_transparent = void;
        static wchar_t Fold(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; }
        bool operator()(std::wstring_view a, std::wstring_view b) const {
            const auto n = std::min(a.size(), b.size());
            for (std::size_t i = 0; i < n; ++i)
                if (Fold(a[i]) != Fold(b[i])) return Fold(a[i]) < Fold(b[i]);
            return a.size() < b.size();
        }
    };
    using TValues = std::map<std::wstring, TRegValue, TNoCase>;

    struct TOp {
        std::wstring Key;
        std::wstring Name;
        std::optional<TRegValue> Value; // nullopt for a delete

        bool operator==(const TOp&) const = default;
    };

    std::map<std::wstring, TValues, TNoCase> Keys;
    std::set<std::wstring, TNoCase> Unopenable;  // exists (or not) but every open fails
    std::set<std::wstring, TNoCase> Uncreatable; // creating it fails
    std::set<std::wstring, TNoCase> FailingWrites;
    bool ThrowOnOpen = false; // an OS error surfacing as an exception
    std::vector<TOp> Log;

    static std::wstring Normal(std::wstring_view path) {
        while (!path.empty() && path.front() == L'\\')
            path.remove_prefix(1);
        return std::wstring(path);
    }

    void Put(std::wstring_view key, std::wstring_view name, TRegValue value) {
        Keys[Normal(key)][std::wstring(name)] = std::move(value);
    }
    std::optional<TRegValue> Get(std::wstring_view key, std::wstring_view name) const {
        const auto k = Keys.find(Normal(key));
        if (k == Keys.end()) return std::nullopt;
        const auto v = k->second.find(name);
        if (v == k->second.end()) return std::nullopt;
        return v->second;
    }

    bool KeyExists(std::wstring_view path) const override { return Keys.contains(Normal(path)); }

    std::unique_ptr<TRegKey> OpenKey(std::wstring_view path, bool create) override {
        if (ThrowOnOpen) throw ERegistryException("simulated failure");
        const auto normal = Normal(path);
        if (Unopenable.contains(normal)) return nullptr;
        if (!Keys.contains(normal)) {
            if (!create || Uncreatable.contains(normal)) return nullptr;
            Keys[normal];
        }
        return std::make_unique<TKey>(*this, normal);
    }

private:
    class TKey final : public TRegKey {
    public:
        TKey(TMemoryRegistry& owner, std::wstring path) : FOwner(owner), FPath(std::move(path)) {}

        std::optional<TRegValue> Read(std::wstring_view name) const override {
            return FOwner.Get(FPath, name);
        }
        void WriteDword(std::wstring_view name, std::uint32_t value) override {
            Write(name, TRegValue::OfDword(value));
        }
        void WriteString(std::wstring_view name, std::wstring_view value) override {
            Write(name, TRegValue::OfString(value));
        }
        void WriteBinary(std::wstring_view name, std::span<const std::uint8_t> value) override {
            Write(name, TRegValue::OfBinary(value));
        }
        bool DeleteValue(std::wstring_view name) override {
            FOwner.Log.push_back({FPath, std::wstring(name), std::nullopt});
            FOwner.Keys[FPath].erase(std::wstring(name));
            return true;
        }

    private:
        void Write(std::wstring_view name, TRegValue value) {
            if (FOwner.FailingWrites.contains(name)) throw ERegistryException::SetDataFailed(name);
            FOwner.Log.push_back({FPath, std::wstring(name), value});
            FOwner.Put(FPath, name, std::move(value));
        }

        TMemoryRegistry& FOwner;
        std::wstring FPath;
    };
};
