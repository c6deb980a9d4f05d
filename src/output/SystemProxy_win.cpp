#include "output/SystemProxy_win.h"

#include "win32/Handles_win.h"

#include <winhttp.h>

namespace {
// Takes a string WinHTTP allocated and frees it.
std::wstring TakeString(LPWSTR s) {
    if (!s) return {};
    std::wstring out(s);
    ::GlobalFree(s);
    return out;
}
} // namespace

TSystemProxyConfig ReadSystemProxyConfig() {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG ie{};
    TSystemProxyConfig config;
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&ie)) return config;
    config.AutoDetect = ie.fAutoDetect != FALSE;
    config.AutoConfigUrl = TakeString(ie.lpszAutoConfigUrl);
    config.Proxy = TakeString(ie.lpszProxy);
    config.ProxyBypass = TakeString(ie.lpszProxyBypass);
    return config;
}
