// Links from the server before the shell: IsWebLink against a model of the
// rule written another way (split at "#", then at the first "/" or "?", the
// port taken from the right), on any UTF-16 text. What it takes is ASCII
// only, at most 2,048 characters, and never holds user information.
#include "FuzzCheck.h"
#include "output/SaveRules.h"

#include <string>
#include <string_view>

namespace {
constexpr std::wstring_view Digits = L"0123456789";
constexpr std::wstring_view Hex = L"0123456789abcdefABCDEF";
constexpr std::wstring_view HostChars = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        L"0123456789-._~!$&'()*+,;=";
// RFC 3986 pchar (without pct-encoded) plus "/" and "?": path, query, fragment.
constexpr std::wstring_view TailChars = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        L"0123456789-._~!$&'()*+,;=:@/?";

// Every character from allowed, "%" only before two hexadecimal digits.
bool OnlyFrom(std::wstring_view text, std::wstring_view allowed) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%') {
            if (text.size() - i < 3 || Hex.find(text[i + 1]) == text.npos ||
                Hex.find(text[i + 2]) == text.npos)
                return false;
            i += 2;
        } else if (allowed.find(text[i]) == allowed.npos) {
            return false;
        }
    }
    return true;
}

bool Model(std::wstring_view link) {
    if (link.size() > 2048) return false;
    std::wstring head(link.substr(0, 8));
    for (wchar_t& c : head)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    std::wstring_view rest;
    if (head.starts_with(L"https://"))
        rest = link.substr(8);
    else if (head.starts_with(L"http://"))
        rest = link.substr(7);
    else
        return false;

    std::wstring_view fragment;
    if (const auto hash = rest.find(L'#'); hash != rest.npos) {
        fragment = rest.substr(hash + 1);
        rest = rest.substr(0, hash);
        if (fragment.find(L'#') != fragment.npos) return false;
    }
    const auto cut = rest.find_first_of(L"/?");
    const std::wstring_view authority = rest.substr(0, cut);
    const std::wstring_view tail = cut == rest.npos ? std::wstring_view() : rest.substr(cut);
    if (!OnlyFrom(tail, TailChars) || !OnlyFrom(fragment, TailChars)) return false;

    std::wstring_view port;
    if (!authority.empty() && authority[0] == L'[') {
        const auto close = authority.find(L']');
        if (close == authority.npos || close == 1) return false;
        if (authority.substr(1, close - 1).find_first_not_of(L"0123456789abcdefABCDEF:.") !=
            std::wstring_view::npos)
            return false;
        port = authority.substr(close + 1);
    } else {
        const auto colon = authority.rfind(L':');
        const std::wstring_view host = authority.substr(0, colon);
        if (host.empty() || !OnlyFrom(host, HostChars)) return false;
        port = colon == authority.npos ? std::wstring_view() : authority.substr(colon);
    }
    return port.empty() ||
           (port[0] == L':' && port.substr(1).find_first_not_of(Digits) == std::wstring_view::npos);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes are characters; 0xFF takes the next two bytes as one UTF-16 unit,
    // so the stored inputs stay readable and any unit can still appear.
    std::wstring link;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            link.push_back(wchar_t(data[i + 1] | data[i + 2] << 8));
            i += 2;
        } else {
            link.push_back(wchar_t(data[i]));
        }
    }
    const bool web = IsWebLink(link);
    FUZZ_CHECK(web == Model(link));
    if (web) {
        FUZZ_CHECK(link.size() <= MaxWebLinkLength);
        for (const wchar_t c : link)
            FUZZ_CHECK(c > 0x20 && c < 0x7F &&
                       std::wstring_view(L"\"<>\\^`{|}").find(c) == std::wstring_view::npos);
        // No user information: the authority holds no "@".
        const auto start = link.find(L"//") + 2;
        const auto authority = link.substr(start, link.find_first_of(L"/?#", start) - start);
        FUZZ_CHECK(authority.find(L'@') == std::wstring::npos);
    }
    return 0;
}
