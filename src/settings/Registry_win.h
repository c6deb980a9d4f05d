#pragma once
// The current user's registry hive through the Win32 registry API.
#include "settings/Registry.h"

class TWinRegistry final : public TRegistry {
public:
    bool KeyExists(std::wstring_view path) const override;
    std::unique_ptr<TRegKey> OpenKey(std::wstring_view path, bool create) override;
};
