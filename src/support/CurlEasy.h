#pragma once
// The libcurl set-up every request of the program shares: one global init,
// handles as RAII values, options that raise when rejected, and the TLS and
// proxy policy (TLS 1.2 or later with the peer verified, the system roots on
// Windows; the system proxy mapped by ProxyConfig, never the environment).
#include "output/ProxyConfig.h"

#include <curl/curl.h>
#include <memory>
#include <stdexcept>
#include <string>

struct TCurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using TCurl = std::unique_ptr<CURL, TCurlDeleter>;
using TCurlList = std::unique_ptr<curl_slist, TCurlDeleter>;

// curl_global_init once per process; call before the first worker starts.
void InitCurlOnce();

template <class T> void SetCurlOption(CURL* curl, CURLoption option, T value) {
    if (curl_easy_setopt(curl, option, value) != CURLE_OK)
        throw std::runtime_error("libcurl option rejected");
}

void AppendCurlHeader(TCurlList& list, const std::string& line);

// TLS 1.2+, peer and host verified (with the system roots on Windows).
// caFile (tests only): the roots to trust instead of the system's.
void ApplyCurlTlsPolicy(CURL* curl, const std::string& caFile = {});

// The mapped system proxy for url; an empty one keeps curl from reading
// proxy environment variables.
void ApplyCurlProxy(CURL* curl, const TSystemProxyConfig* config, const std::string& url);
