#include "support/Utilities.h"

#include <cstdio>
#include <curl/curl.h>
#include <jpeglib.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <stdexcept>
#include <zlib.h>

namespace {
bool IsAsciiDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}
bool IsAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}
wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

bool IsHostChar(wchar_t c) {
    return IsAsciiDigit(c) || IsAsciiLetter(c) || c == L'-' || c == L'.';
}
} // namespace

std::optional<std::wstring> ParseServiceUrl(std::wstring_view text) {
    text = TrimBlanks(text);
    const auto sep = text.find(L"://");
    if (sep == std::wstring_view::npos) return std::nullopt;
    std::wstring scheme;
    for (wchar_t c : text.substr(0, sep))
        scheme += AsciiLower(c);
    if (scheme != L"http" && scheme != L"https") return std::nullopt;

    auto rest = text.substr(sep + 3);
    if (!rest.empty() && rest.back() == L'/') rest.remove_suffix(1);
    const auto colon = rest.find(L':');
    const auto host = rest.substr(0, colon);
    if (host.empty() || host.front() == L'.' || host.front() == L'-') return std::nullopt;
    for (wchar_t c : host)
        if (!IsHostChar(c)) return std::nullopt;

    std::wstring result = scheme + L"://" + std::wstring(host);
    if (colon != std::wstring_view::npos) {
        const auto port = rest.substr(colon + 1);
        if (port.empty() || port.size() > 5) return std::nullopt;
        unsigned number = 0;
        for (wchar_t c : port) {
            if (!IsAsciiDigit(c)) return std::nullopt;
            number = number * 10 + unsigned(c - L'0');
        }
        if (number == 0 || number > 65535) return std::nullopt;
        result += L':' + std::to_wstring(number);
    }
    return result;
}

std::wstring Md5Hex(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text)
        bytes += static_cast<char>(std::uint32_t(c) <= 0xFF ? c : L'?');

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("MD5 is not available");

    static constexpr wchar_t Hex[] = L"0123456789abcdef";
    std::wstring result;
    for (unsigned i = 0; i < length; ++i) {
        result += Hex[digest[i] >> 4];
        result += Hex[digest[i] & 0xF];
    }
    return result;
}

std::wstring PromoParamsFromValue(std::wstring_view promoVal) {
    if (TrimBlanks(promoVal).empty()) return {};
    std::wstring letters, digits;
    for (wchar_t c : promoVal) {
        if (IsAsciiDigit(c))
            digits += c;
        else if (IsAsciiLetter(c))
            letters += c;
        else
            break;
    }
    if (letters.empty()) return {};
    std::wstring result = L"ftsk=" + letters;
    if (!digits.empty()) result += L"&adv=" + digits;
    return result;
}

std::wstring VersionDigits(std::wstring_view version) {
    std::wstring digits;
    for (wchar_t c : version)
        if (c != L'.') digits += c;
    // 1-based position of the first dot, 0 when there is none.
    const auto dot = version.find(L'.');
    const auto position = dot == std::wstring_view::npos ? 0 : std::ptrdiff_t(dot) + 1;
    if (position > std::ptrdiff_t(version.size()) - 2) digits += L'0';
    return digits;
}

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && std::uint32_t(text.front()) <= L' ')
        text.remove_prefix(1);
    while (!text.empty() && std::uint32_t(text.back()) <= L' ')
        text.remove_suffix(1);
    return text;
}

std::wstring VolumeRootOf(std::wstring_view windowsDir) {
    const auto root = TrimBlanks(windowsDir.substr(0, 3));
    return root.empty() ? std::wstring(L"c:\\") : std::wstring(root);
}

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto cp = std::uint32_t(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() &&
                std::uint32_t(text[i + 1]) >= 0xDC00 && std::uint32_t(text[i + 1]) <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (std::uint32_t(text[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80         ? 0
                          : (lead >> 5) == 6  ? 1
                          : (lead >> 4) == 14 ? 2
                          : (lead >> 3) == 30 ? 3
                                              : -1;
        std::uint32_t cp = 0xFFFD;
        std::size_t used = 1;
        if (extra >= 0 && i + extra < text.size()) {
            std::uint32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
            bool ok = true;
            for (int k = 1; k <= extra; ++k) {
                const auto c = static_cast<unsigned char>(text[i + k]);
                if ((c & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                value = (value << 6) | (c & 0x3F);
            }
            static constexpr std::uint32_t Minimum[] = {0, 0x80, 0x800, 0x10000};
            if (ok && value >= Minimum[extra] && value <= 0x10FFFF &&
                !(value >= 0xD800 && value <= 0xDFFF)) {
                cp = value;
                used = std::size_t(extra) + 1;
            }
        }
        i += used;
        if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
    return out;
}

#define KADRIX_STRINGIZE2(x) #x
#define KADRIX_STRINGIZE(x) KADRIX_STRINGIZE2(x)

std::string DependencyVersions() {
#ifdef LIBJPEG_TURBO_VERSION
    const std::string jpeg = "libjpeg-turbo " KADRIX_STRINGIZE(LIBJPEG_TURBO_VERSION);
#else
    const std::string jpeg = "libjpeg " KADRIX_STRINGIZE(JPEG_LIB_VERSION);
#endif
    return std::string("zlib ") + zlibVersion() + "; " + jpeg + "; " +
           OpenSSL_version(OPENSSL_VERSION) + "; " + curl_version();
}
