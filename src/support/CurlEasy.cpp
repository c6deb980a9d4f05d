#include "support/CurlEasy.h"

#include <mutex>

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw std::runtime_error("libcurl could not be initialised");
    });
}

void AppendCurlHeader(TCurlList& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown) throw std::bad_alloc();
    list.release();
    list.reset(grown);
}

void ApplyCurlTlsPolicy(CURL* curl, const std::string& caFile) {
    SetCurlOption(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    SetCurlOption(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    SetCurlOption(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.empty()) {
        SetCurlOption(curl, CURLOPT_CAINFO, caFile.c_str());
        SetCurlOption(curl, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
        return;
    }
#ifdef _WIN32
    SetCurlOption(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
#endif
}

void ApplyCurlProxy(CURL* curl, const TSystemProxyConfig* config, const std::string& url) {
    const TCurlProxy proxy = config ? MapSystemProxy(*config, url) : TCurlProxy{};
    SetCurlOption(curl, CURLOPT_PROXY, proxy.Proxy.c_str());
    if (!proxy.NoProxy.empty()) SetCurlOption(curl, CURLOPT_NOPROXY, proxy.NoProxy.c_str());
}
