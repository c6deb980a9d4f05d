#include "output/SaveRules.h"

#include "support/Utilities.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cwctype>
#include <nlohmann/json.hpp>

TLocalTime LocalTimeNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &seconds);
#else
    localtime_r(&seconds, &tm);
#endif
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(ms < 0 ? ms + 1000 : ms)};
}

namespace {
void Append2(std::wstring& out, int value) {
    out += static_cast<wchar_t>(L'0' + value / 10 % 10);
    out += static_cast<wchar_t>(L'0' + value % 10);
}
} // namespace

std::wstring ScreenshotName(const TLocalTime& t) {
    std::wstring name = L"Скриншот ";
    Append2(name, t.d);
    name += L'.';
    Append2(name, t.m);
    name += L'.';
    Append2(name, t.y % 100);
    name += L'_';
    Append2(name, t.h);
    name += L'.';
    Append2(name, t.n);
    name += L'.';
    Append2(name, t.s);
    return name;
}

std::wstring_view FileExtension(TImageFormat format) {
    switch (format) {
    case ifJpeg:
        return L".jpg";
    case ifBmp:
        return L".bmp";
    case ifPng:
        break;
    }
    return L".png";
}

std::wstring SaveDialogInitialDir(const TSettings& settings,
                                  const std::function<bool(const std::wstring&)>& dirExists) {
    if (!settings.lastpath.empty() && dirExists(settings.lastpath)) return settings.lastpath;
    return settings.path;
}

int SaveDialogFilterIndex(std::int32_t format) {
    // An index outside the list would leave the dialog without a filter.
    return format >= 0 && format <= 2 ? format + 1 : 1;
}

TSaveTarget ConfirmedSaveTarget(std::wstring_view chosenName, int filterIndex) {
    std::wstring name(chosenName);
    for (const auto ext : {L".png", L".jpg", L".bmp"})
        if (chosenName.ends_with(ext)) {
            name.resize(name.size() - 4);
            break;
        }
    const TImageFormat format = filterIndex == 2 ? ifJpeg : filterIndex == 3 ? ifBmp : ifPng;
    name += FileExtension(format);
    return {std::move(name), format};
}

std::optional<std::wstring> SaveDialog1SelectionChange(std::wstring_view fileName) {
    const auto dot = fileName.rfind(L'.');
    // A dot in a folder name is not an extension.
    const auto slash = fileName.find_last_of(L"\\/");
    if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash))
        return std::nullopt;
    return std::wstring(fileName.substr(0, dot));
}

TUploadEncoding UploadEncodingFor(std::int32_t format) {
    if (format == 1) return {ifJpeg, L".JPG"};
    return {ifPng, L".PNG"};
}

TImageFormat LocalCopyFormat(std::int32_t format) {
    switch (format) {
    case 1:
        return ifJpeg;
    case 2:
        return ifBmp;
    default:
        return ifPng;
    }
}

std::wstring LocalCopyFileName(const TSettings& settings, const TLocalTime& time) {
    return settings.path + ScreenshotName(time) +
           std::wstring(FileExtension(LocalCopyFormat(settings.format)));
}

std::wstring FolderOf(std::wstring_view fileName) {
    const auto slash = fileName.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    return std::wstring(fileName.substr(0, slash + 1));
}

bool RememberLastPath(TSettings& settings, TRegistry& registry, std::wstring_view folder) {
    if (settings.lastpath == folder) return true;
    settings.lastpath = folder;
    try {
        const auto key = OpenSettingsKey(&registry);
        if (!key) return false;
        key->WriteString(L"lastpath", folder);
        return true;
    } catch (const ERegistryException&) {
        return false;
    }
}

namespace {
// A missing member and null read as empty, a string as itself, anything else
// as its JSON text.
std::string MemberText(const nlohmann::json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || it->is_null()) return {};
    if (it->is_string()) return it->get<std::string>();
    return it->dump();
}
} // namespace

TUploadReply ReadUploadReply(std::wstring_view reply) {
    if (reply.empty()) return {};
    const auto json = nlohmann::json::parse(WideToUtf8(reply), nullptr, false);
    if (json.is_discarded() || !json.is_object()) return {};
    if (!MemberText(json, "error").empty()) return {};
    const auto link = MemberText(json, "screen_link");
    if (link.empty()) return {};
    return {true, Utf8ToWide(link)};
}

std::wstring UploadFailedMessage(std::wstring_view savedFile) {
    std::wstring text(OutputTexts::UploadFailed);
    if (!savedFile.empty()) {
        text += L"\r\n";
        text += OutputTexts::SavedAsPrefix;
        text += savedFile;
    }
    return text;
}

std::wstring UploadRefusedMessage(std::wstring_view savedFile) {
    std::wstring text(OutputTexts::UploadRefused);
    text += L"\r\n";
    if (savedFile.empty()) {
        text += OutputTexts::TryLater;
    } else {
        text += OutputTexts::SavedAsPrefix;
        text += savedFile;
    }
    return text;
}

namespace {
bool IsAsciiAlnum(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}
bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}
bool IsIn(wchar_t c, std::wstring_view set) {
    return set.find(c) != std::wstring_view::npos;
}
// RFC 3986 unreserved and sub-delims: what a host name and a path segment
// hold besides percent-encodings (a path also ":" and "@").
bool IsUnreservedOrSubDelim(wchar_t c) {
    return IsAsciiAlnum(c) || IsIn(c, L"-._~!$&'()*+,;=");
}
// A percent-encoding starts at text[i]: "%" and two hexadecimal digits.
bool IsPercentEncoded(std::wstring_view text, std::size_t i) {
    return text[i] == L'%' && i + 2 < text.size() && IsHexDigit(text[i + 1]) &&
           IsHexDigit(text[i + 2]);
}
} // namespace

bool IsWebLink(std::wstring_view link) {
    if (link.size() > MaxWebLinkLength) return false;
    const auto hasScheme = [&](std::wstring_view scheme) {
        if (link.size() < scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (wchar_t(link[i] >= L'A' && link[i] <= L'Z' ? link[i] + 32 : link[i]) != scheme[i])
                return false;
        return true;
    };
    std::size_t at = hasScheme(L"https://") ? 8 : hasScheme(L"http://") ? 7 : 0;
    if (at == 0) return false;

    // The authority: a host (a name or an IPv6 literal), an optional port,
    // and no user information ("@" is no host character).
    const std::size_t authorityEnd = std::min(link.find_first_of(L"/?#", at), link.size());
    if (at < authorityEnd && link[at] == L'[') {
        const std::size_t close = link.find(L']', at);
        if (close == std::wstring_view::npos || close >= authorityEnd || close == at + 1)
            return false;
        for (std::size_t i = at + 1; i < close; ++i)
            if (!IsHexDigit(link[i]) && link[i] != L':' && link[i] != L'.') return false;
        at = close + 1;
    } else {
        const std::size_t hostStart = at;
        while (at < authorityEnd && link[at] != L':') {
            if (IsPercentEncoded(link, at))
                at += 3;
            else if (IsUnreservedOrSubDelim(link[at]))
                ++at;
            else
                return false;
        }
        if (at == hostStart) return false;
    }
    if (at < authorityEnd) {
        if (link[at] != L':') return false;
        for (++at; at < authorityEnd; ++at)
            if (link[at] < L'0' || link[at] > L'9') return false;
    }

    // Path, query and fragment: path characters, "/" and "?", one "#".
    bool inFragment = false;
    for (std::size_t i = authorityEnd; i < link.size(); ++i) {
        const wchar_t c = link[i];
        if (c == L'%') {
            if (!IsPercentEncoded(link, i)) return false;
            i += 2;
        } else if (c == L'#') {
            if (inFragment) return false;
            inFragment = true;
        } else if (!IsUnreservedOrSubDelim(c) && !IsIn(c, L":@/?")) {
            return false;
        }
    }
    return true;
}
