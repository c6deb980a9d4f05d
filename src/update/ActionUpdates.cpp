#include "update/ActionUpdates.h"

#include "support/CurlEasy.h"
#include "support/Utilities.h"

#include <cmath>
#include <stdexcept>

namespace {
constexpr const char* AcceptValue =
    "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr const char* UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
constexpr std::size_t MaxUpdateBytes = 64 * 1024;

struct TBody {
    std::string Bytes;
    bool TooLong = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto& body = *static_cast<TBody*>(user);
    const size_t n = size * count;
    if (body.Bytes.size() + n > MaxUpdateBytes) {
        body.TooLong = true;
        return 0;
    }
    body.Bytes.append(data, n);
    return n;
}

bool IsRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
} // namespace

std::wstring DecodeUpdateText(std::string_view bytes) {
    std::wstring text;
    if (bytes.size() <= 2) return text;
    bytes.remove_prefix(2);
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i]);
        const auto hi = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(lo + 256 * hi));
    }
    return text;
}

std::optional<float> ReadDotNumber(std::wstring_view text) {
    // Parsed by hand: the C library's readers follow the user's locale.
    text = TrimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    double value = 0;
    int digits = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        value = value * 10 + (text[i++] - L'0');
        ++digits;
    }
    if (i < text.size() && text[i] == L'.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
            value += (text[i++] - L'0') * scale;
            scale /= 10;
            ++digits;
        }
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    const auto result = static_cast<float>(negative ? -value : value);
    if (!std::isfinite(result)) return std::nullopt;
    return result;
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<std::wstring> NewerVersionLine(std::wstring_view text, std::wstring_view own) {
    const auto lines = SplitLines(text);
    if (lines.size() < 3) return std::nullopt;
    const std::wstring& line = lines[0];
    if (TrimBlanks(line) == own) return std::nullopt;
    const float ownValue = ReadDotNumber(own).value_or(1.0f);
    const float remote = ReadDotNumber(line).value_or(ownValue);
    if (!(remote > ownValue)) return std::nullopt;
    return line;
}

bool IsHttpsUrl(std::wstring_view url) {
    constexpr std::wstring_view Scheme = L"https://";
    if (url.size() <= Scheme.size()) return false;
    for (std::size_t i = 0; i < Scheme.size(); ++i)
        if (wchar_t(url[i] >= L'A' && url[i] <= L'Z' ? url[i] + 32 : url[i]) != Scheme[i])
            return false;
    return true;
}

bool UpdateCheckDue(TRegistry& registry, TDate now) {
    const auto key = OpenSettingsKey(&registry);
    if (!key) return false;
    const auto bytes = key->ReadBinary(CheckUpdatesValue);
    if (!bytes) return true;
    const auto last = DecodeRegDate(*bytes);
    if (!last) return true;
    const double days = std::trunc(std::fabs(now - *last));
    return days >= CheckUpdatesEveryDays;
}

std::string HttpGet(const std::string& url, const THttpGetOptions& options,
                    const std::atomic<bool>* cancel) {
    InitCurlOnce();
    const TCurl curl(curl_easy_init());
    if (!curl) throw std::runtime_error("libcurl handle not created");
    CURL* c = curl.get();
    SetCurlOption(c, CURLOPT_URL, url.c_str());
    SetCurlOption(c, CURLOPT_PROTOCOLS_STR, "https");
    SetCurlOption(c, CURLOPT_NOSIGNAL, 1L);
    SetCurlOption(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    SetCurlOption(c, CURLOPT_HTTPGET, 1L);
    SetCurlOption(c, CURLOPT_FOLLOWLOCATION, 0L);
    TCurlList headers;
    AppendCurlHeader(headers, AcceptValue);
    SetCurlOption(c, CURLOPT_HTTPHEADER, headers.get());
    SetCurlOption(c, CURLOPT_USERAGENT, UserAgent);
    ApplyCurlTlsPolicy(c, options.CaFile);
    const TSystemProxyConfig proxy =
        options.ProxySource ? options.ProxySource() : TSystemProxyConfig{};
    ApplyCurlProxy(c, options.ProxySource ? &proxy : nullptr, url);

    SetCurlOption(c, CURLOPT_CONNECTTIMEOUT, options.ConnectTimeoutSeconds);
    SetCurlOption(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    SetCurlOption(c, CURLOPT_LOW_SPEED_TIME, options.StallSeconds);
    SetCurlOption(c, CURLOPT_TIMEOUT, options.TotalSeconds);
    SetCurlOption(c, CURLOPT_NOPROGRESS, 0L);
    SetCurlOption(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
    curl_xferinfo_callback progress = [](void* user, curl_off_t, curl_off_t, curl_off_t,
                                         curl_off_t) -> int {
        const auto* flag = static_cast<const std::atomic<bool>*>(user);
        return flag && flag->load() ? 1 : 0;
    };
    SetCurlOption(c, CURLOPT_XFERINFOFUNCTION, progress);

    TBody body;
    SetCurlOption(c, CURLOPT_WRITEDATA, &body);
    curl_write_callback write = WriteBody;
    SetCurlOption(c, CURLOPT_WRITEFUNCTION, write);

    const CURLcode rc = curl_easy_perform(c);
    if (body.TooLong) throw std::runtime_error("update file too long");
    if (rc != CURLE_OK) throw std::runtime_error(curl_easy_strerror(rc));
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if ((status < 200 || status > 299) && !IsRedirect(status))
        throw std::runtime_error("HTTP/1.1 " + std::to_string(status));
    return std::move(body.Bytes);
}

TUpdateChecker::TUpdateChecker(TUpdateHost& host, TGuiDispatcher& gui, THttpGetOptions options)
    : FHost(host), FGui(gui), FOptions(std::move(options)) {}

TUpdateChecker::~TUpdateChecker() {
    FShared->Cancel = true;
    FShared->Alive = false;
    if (FThread.joinable()) FThread.join();
}

void TUpdateChecker::CheckUpdatesIfDue() {
    if (UpdateCheckDue(FHost.Registry(), FHost.Now())) StartUpdateCheck();
}

void TUpdateChecker::StartUpdateCheck() {
    if (!FMayStart) return;
    FMayStart = false;
    const std::wstring address = FHost.UpdateFileUrl();
    if (!IsHttpsUrl(address) || !IsHttpsUrl(FHost.DownloadPageUrl())) {
        FHost.Trace(L"Update check skipped: the service address is not HTTPS: " + address);
        return;
    }
    InitCurlOnce(); // not thread-safe in every libcurl: before the worker
    const std::string url = WideToUtf8(address);
    FThread = std::thread([this, url, shared = FShared, options = FOptions] {
        THttpThread result;
        try {
            // The file is defined as bytes: each becomes one character
            // whatever charset the reply names.
            const std::string bytes = HttpGet(url, options, &shared->Cancel);
            result.Text = DecodeUpdateText(bytes);
        } catch (const std::exception& e) {
            result.Err = Utf8ToWide(e.what());
            if (result.Err.empty()) result.Err = L"?";
            result.Text.clear();
        }
        if (shared->Cancel) return;
        FGui.Post([this, shared, result = std::move(result)] {
            if (shared->Alive) ShowResult(result);
        });
    });
}

void TUpdateChecker::ShowResult(const THttpThread& result) {
    if (!result.Err.empty() || result.Text.empty()) return;
    try {
        WriteRegDate(FHost.Registry(), CheckUpdatesValue, FHost.Now());
    } catch (const std::exception&) {
    }
    try {
        const auto line = NewerVersionLine(result.Text, ProductConstants::Version);
        if (!line) return;
        if (FHost.ShowNewVersion(std::wstring(ProductConstants::VersionLabel) + *line))
            FHost.OpenInShell(FHost.DownloadPageUrl());
    } catch (const std::exception&) {
    }
}
