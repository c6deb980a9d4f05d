#pragma once
// The current user's proxy configuration as the system reports it, mapped to
// libcurl's proxy options. Automatic configuration (WPAD, a PAC script) is not
// evaluated: with nothing but those, the request goes direct; with a fixed
// proxy beside them, the fixed proxy is used.
#include <string>
#include <string_view>

struct TSystemProxyConfig {
    bool AutoDetect = false;
    std::wstring AutoConfigUrl;
    std::wstring Proxy;       // "host:port" or "http=h:80;https=h2:443;socks=h3:1080"
    std::wstring ProxyBypass; // "<local>;*.corp;10.*"

    bool operator==(const TSystemProxyConfig&) const = default;
};

struct TCurlProxy {
    std::string Proxy;   // CURLOPT_PROXY; empty: no proxy (the environment is ignored too)
    std::string NoProxy; // CURLOPT_NOPROXY, comma separated

    bool operator==(const TCurlProxy&) const = default;
};

// The proxy for a request to url (its scheme picks the "scheme=" entry).
TCurlProxy MapSystemProxy(const TSystemProxyConfig& config, std::string_view url);
