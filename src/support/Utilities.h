#pragma once
// The product's fixed strings, the service pages, MD5 and text conversion.
// Addresses that the settings key can redirect are built in
// settings/ServiceAddress; the system helpers that need Windows are in
// Utilities_win.

#include <optional>
#include <string>
#include <string_view>

struct TServicePage {
    bool Secure; // https when true, http otherwise
    std::wstring_view Path;
};

namespace ProductConstants {
inline constexpr std::wstring_view ProductName = L"Kadrix";
inline constexpr std::wstring_view MakerName = L"Orvik Software";
inline constexpr std::wstring_view Version = L"2.15";
inline constexpr std::wstring_view PageType = L"";
inline constexpr std::wstring_view VersionLabel = L"Версия: ";
inline constexpr std::wstring_view ServiceHost = L"" KADRIX_SERVICE_HOST;

inline constexpr TServicePage SurveyPage{true, L"/survey215.php"};
inline constexpr TServicePage SupportPage{false, L"/support.php"};
inline constexpr TServicePage UpdateFileEndpoint{true, L"/update.txt"};
inline constexpr TServicePage DownloadPage{true, L"/download.php"};
inline constexpr TServicePage WelcomePage{false, L"/welcome.php"};
inline constexpr TServicePage HomePage{true, L"/"};
inline constexpr TServicePage OfferPage{true, L"/versiya-pro.php"};
inline constexpr TServicePage UploadEndpoint{true, L"/i/index.php?r=user/imggate"};
} // namespace ProductConstants

// "scheme://host[:port]" of a well-formed override, scheme in lower case;
// nullopt for anything else (paths, queries, credentials, bad ports...).
std::optional<std::wstring> ParseServiceUrl(std::wstring_view text);

// Lower-case hex MD5 of the text's characters taken as single bytes
// (code units above 255 become '?').
std::wstring Md5Hex(std::wstring_view text);

// "ftsk=<letters>&adv=<digits>" from a "PromoVal" text; see GetPromoParams.
std::wstring PromoParamsFromValue(std::wstring_view promoVal);

// The version text without dots, padded to two digits after the first dot:
// "2.15" -> "215", "2.1" -> "210".
std::wstring VersionDigits(std::wstring_view version);

// Removes leading and trailing blanks and control characters.
std::wstring_view TrimBlanks(std::wstring_view text);

// Root of the volume that holds the Windows directory, "c:\" when unknown.
std::wstring VolumeRootOf(std::wstring_view windowsDir);

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

// One line naming the versions of zlib, libjpeg, OpenSSL and libcurl linked in.
std::string DependencyVersions();
