#pragma once
// Addresses and page parameters that values under the settings key adjust.
//
// Every service address is built from one base: the build's service host
// (KADRIX_SERVICE_HOST) with the page's own scheme, unless the settings key
// holds a well-formed "ServiceUrl" such as "http://127.0.0.1:8080", which
// then replaces scheme, host and port of every address (self-hosting, tests).
#include "settings/Registry.h"
#include "support/Utilities.h"

#include <string>
#include <string_view>

std::wstring ServiceAddress(TRegistry& registry, bool secure, std::wstring_view path);
inline std::wstring ServiceAddress(TRegistry& registry, const TServicePage& page) {
    return ServiceAddress(registry, page.Secure, page.Path);
}

// From "PromoVal" under the settings key, which is created if missing.
std::wstring GetPromoParams(TRegistry& registry);

std::wstring GetWelcomeUrl(TRegistry& registry);
