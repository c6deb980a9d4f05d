#include "settings/ServiceAddress.h"

#include "settings/SettingsUnit.h"

namespace {
std::optional<std::wstring> ServiceUrlOverride(TRegistry& registry) {
    try {
        const auto key = registry.OpenKey(SettingsKey, false);
        if (!key) return std::nullopt;
        const auto value = key->ReadString(L"ServiceUrl");
        if (!value) return std::nullopt;
        return ParseServiceUrl(*value);
    } catch (...) {
        return std::nullopt;
    }
}

void ReplaceFirst(std::wstring& text, std::wstring_view what, std::wstring_view with) {
    if (const auto at = text.find(what); at != std::wstring::npos)
        text.replace(at, what.size(), with);
}
} // namespace

std::wstring ServiceAddress(TRegistry& registry, bool secure, std::wstring_view path) {
    auto base = ServiceUrlOverride(registry);
    if (!base)
        base = std::wstring(secure ? L"https://" : L"http://") +
               std::wstring(ProductConstants::ServiceHost);
    return *base + std::wstring(path);
}

std::wstring GetPromoParams(TRegistry& registry) {
    const auto key = OpenSettingsKey(&registry);
    if (!key) return {};
    try {
        return PromoParamsFromValue(key->ReadString(L"PromoVal").value_or(L""));
    } catch (...) {
        return {};
    }
}

std::wstring GetWelcomeUrl(TRegistry& registry) {
    auto promo = GetPromoParams(registry);
    if (!promo.empty()) promo += L'&';

    auto url = ServiceAddress(registry, ProductConstants::WelcomePage);
    url = url.substr(0, url.find(L'?'));
    if (!ProductConstants::PageType.empty())
        url += L"?abt=[type]&" + promo + L"vers=[xxx]";
    else
        url += L"?" + promo + L"vers=[xxx]";
    ReplaceFirst(url, L"[type]", ProductConstants::PageType);
    ReplaceFirst(url, L"[xxx]", VersionDigits(ProductConstants::Version));
    return url;
}
