#include "output/ProxyConfig.h"

#include "support/Utilities.h"

#include <vector>

namespace {
std::string Lower(std::string text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<std::string> Split(const std::string& text, std::string_view separators) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find_first_of(separators, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// One bypass entry in curl's terms; empty when curl cannot express it.
std::string BypassEntry(std::string entry) {
    if (const auto scheme = entry.find("://"); scheme != std::string::npos)
        entry.erase(0, scheme + 3);
    if (entry == "*") return entry;
    if (entry.starts_with("*.") && entry.find('*', 1) == std::string::npos) return entry.substr(1);
    if (entry.ends_with(".*")) {
        // "10.*" or "192.168.*": an address prefix, as a CIDR block.
        const auto parts = Split(entry.substr(0, entry.size() - 2), ".");
        if (parts.empty() || parts.size() > 3) return {};
        std::string net;
        for (const auto& part : parts) {
            if (!IsDigits(part) || part.size() > 3 || std::stoi(part) > 255) return {};
            net += part + '.';
        }
        for (std::size_t i = parts.size(); i < 4; ++i)
            net += i == 3 ? "0" : "0.";
        return net + '/' + std::to_string(parts.size() * 8);
    }
    if (entry.find_first_of("*:") != std::string::npos) return {};
    return entry;
}
} // namespace

TCurlProxy MapSystemProxy(const TSystemProxyConfig& config, std::string_view url) {
    const auto schemeEnd = url.find("://");
    const std::string scheme =
        Lower(std::string(schemeEnd == std::string_view::npos ? "" : url.substr(0, schemeEnd)));

    std::string forScheme, plain, socks;
    for (const auto& entry : Split(WideToUtf8(config.Proxy), "; \t")) {
        const auto eq = entry.find('=');
        if (eq == std::string::npos) {
            if (plain.empty()) plain = entry;
            continue;
        }
        const auto name = Lower(entry.substr(0, eq));
        const auto value = entry.substr(eq + 1);
        if (value.empty()) continue;
        if (name == scheme && forScheme.empty()) forScheme = value;
        if (name == "socks" && socks.empty()) socks = "socks4://" + value;
    }
    std::string proxy = !forScheme.empty() ? forScheme : !plain.empty() ? plain : socks;
    if (proxy.empty()) return {};
    if (proxy.find("://") == std::string::npos) proxy = "http://" + proxy;

    // Loopback always goes direct, as the system's own clients do it; this
    // also stands for "<local>", which curl cannot express.
    std::string noProxy = "localhost,127.0.0.1,::1";
    for (const auto& entry : Split(WideToUtf8(config.ProxyBypass), "; \t,")) {
        if (Lower(entry) == "<local>") continue;
        if (const auto mapped = BypassEntry(entry); !mapped.empty()) noProxy += ',' + mapped;
    }
    return {proxy, noProxy};
}
