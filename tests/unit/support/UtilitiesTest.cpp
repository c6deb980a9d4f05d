#include "support/Utilities.h"

#include "settings/ServiceAddress.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <zlib.h>

namespace {
TEST(Md5Hex, MatchesTheReferenceVectors) {
    EXPECT_EQ(Md5Hex(L""), L"d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex(L"abc"), L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex(L"message digest"), L"f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex(L"12345"), L"827ccb0eea8a706c4c34a16891f84e7b");
}

TEST(PromoParams, LettersAndDigitsUntilTheFirstOtherCharacter) {
    const struct {
        std::wstring_view Value, Params;
    } cases[] = {
        {L"a1b2", L"ftsk=ab&adv=12"},
        {L"ab12", L"ftsk=ab&adv=12"},
        {L"12", L""},
        {L"ab-12", L"ftsk=ab"},
        {L" ab12", L""},
        {L"ab12 ", L"ftsk=ab&adv=12"},
        {L"   ", L""},
        {L"", L""},
        {L"Zz", L"ftsk=Zz"},
        {L"a\x0436"
         L"1",
         L"ftsk=a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PromoParamsFromValue(c.Value), c.Params) << std::wstring(c.Value);
}

TEST(PromoParams, ReadFromTheSettingsKey) {
    TMemoryRegistry registry;
    EXPECT_EQ(GetPromoParams(registry), L"");
    EXPECT_TRUE(registry.KeyExists(SettingsKey));

    registry.Put(SettingsKey, L"PromoVal", TRegValue::OfString(L"a1b2"));
    EXPECT_EQ(GetPromoParams(registry), L"ftsk=ab&adv=12");
    registry.Put(SettingsKey, L"PromoVal", TRegValue::OfDword(12));
    EXPECT_EQ(GetPromoParams(registry), L"");

    registry.Unopenable.insert(std::wstring(SettingsKey));
    EXPECT_EQ(GetPromoParams(registry), L"");
}

TEST(WelcomeUrl, CarriesPromoAndVersion) {
    const std::wstring base = L"http://" + std::wstring(ProductConstants::ServiceHost);
    TMemoryRegistry fresh;
    EXPECT_EQ(GetWelcomeUrl(fresh), base + L"/welcome.php?vers=215");
    EXPECT_TRUE(fresh.KeyExists(SettingsKey));

    TMemoryRegistry promo;
    promo.Put(SettingsKey, L"PromoVal", TRegValue::OfString(L"ab12"));
    EXPECT_EQ(GetWelcomeUrl(promo), base + L"/welcome.php?ftsk=ab&adv=12&vers=215");
    promo.Put(SettingsKey, L"PromoVal", TRegValue::OfString(L"12"));
    EXPECT_EQ(GetWelcomeUrl(promo), base + L"/welcome.php?vers=215");
}

TEST(WelcomeUrl, VersionDigits) {
    EXPECT_EQ(VersionDigits(L"2.15"), L"215");
    EXPECT_EQ(VersionDigits(L"2.1"), L"210");
    EXPECT_EQ(VersionDigits(L"10.25"), L"1025");
}

TEST(ServiceAddress, BuildHostWithThePageScheme) {
    TMemoryRegistry registry;
    const std::wstring host(ProductConstants::ServiceHost);
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find_first_of(L":/ "), std::wstring::npos);
    EXPECT_EQ(ServiceAddress(registry, ProductConstants::SupportPage),
              L"http://" + host + L"/support.php");
    EXPECT_EQ(ServiceAddress(registry, ProductConstants::UpdateFileEndpoint),
              L"https://" + host + L"/update.txt");
    EXPECT_FALSE(registry.KeyExists(SettingsKey)); // looking for an override creates nothing
}

TEST(ServiceAddress, OverrideReplacesSchemeHostAndPort) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"ServiceUrl", TRegValue::OfString(L"http://127.0.0.1:8080"));
    EXPECT_EQ(ServiceAddress(registry, ProductConstants::UpdateFileEndpoint),
              L"http://127.0.0.1:8080/update.txt");
    EXPECT_EQ(GetWelcomeUrl(registry), L"http://127.0.0.1:8080/welcome.php?vers=215");

    registry.Put(SettingsKey, L"ServiceUrl", TRegValue::OfString(L"ftp://127.0.0.1"));
    EXPECT_EQ(ServiceAddress(registry, true, L"/x"),
              L"https://" + std::wstring(ProductConstants::ServiceHost) + L"/x");
}

TEST(ServiceAddress, ParsesOnlyWellFormedOverrides) {
    const struct {
        std::wstring_view Text;
        std::optional<std::wstring> Base;
    } cases[] = {
        {L"http://127.0.0.1:8080", L"http://127.0.0.1:8080"},
        {L"HTTPS://Shots.Example.org/", L"https://Shots.Example.org"},
        {L"  http://localhost:08080 ", L"http://localhost:8080"},
        {L"https://my-host", L"https://my-host"},
        {L"ftp://host", std::nullopt},
        {L"host:8080", std::nullopt},
        {L"http://", std::nullopt},
        {L"http://:8080", std::nullopt},
        {L"http://host:", std::nullopt},
        {L"http://host:0", std::nullopt},
        {L"http://host:65536", std::nullopt},
        {L"http://host:80a", std::nullopt},
        {L"http://host/path", std::nullopt},
        {L"http://host?x=1", std::nullopt},
        {L"http://user@host", std::nullopt},
        {L"http://ho st", std::nullopt},
        {L"http://-host", std::nullopt},
        {L"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseServiceUrl(c.Text), c.Base) << std::wstring(c.Text);
}

TEST(ProductConstants, NameTheSettingsKey) {
    EXPECT_EQ(L"Software\\" + std::wstring(ProductConstants::MakerName) + L"\\" +
                  std::wstring(ProductConstants::ProductName),
              SettingsKey);
    EXPECT_EQ(ProductConstants::VersionLabel, L"\x0412\x0435\x0440\x0441\x0438\x044F: ");
}

TEST(TextHelpers, TrimAndVolumeRoot) {
    EXPECT_EQ(TrimBlanks(L"\t C:\\Windows \r\n"), L"C:\\Windows");
    EXPECT_EQ(TrimBlanks(L" \x01 "), L"");
    EXPECT_EQ(VolumeRootOf(L"C:\\Windows"), L"C:\\");
    EXPECT_EQ(VolumeRootOf(L"D:"), L"D:");
    EXPECT_EQ(VolumeRootOf(L""), L"c:\\");
}

TEST(TextHelpers, Utf8RoundTripIncludingSurrogatePairs) {
    // Cyrillic, the euro sign and U+1F600, which needs a surrogate pair where
    // wchar_t is 16 bits.
    const std::string utf8 = "\xD0\x92\xD0\xB5\xD1\x80\xD1\x81\xD0\xB8\xD1\x8F \xE2\x82\xAC "
                             "\xF0\x9F\x98\x80";
    const auto wide = Utf8ToWide(utf8);
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 11u : 10u);
    EXPECT_EQ(WideToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToWide("a\xC0\x80z"), L"a\xFFFD\xFFFDz"); // overlong encoding rejected
}

TEST(DependencyVersions, NamesAllFourLinkedLibraries) {
    const auto line = DependencyVersions();
    std::vector<std::string> parts;
    std::istringstream in(line);
    for (std::string part; std::getline(in, part, ';');) {
        if (!part.empty() && part.front() == ' ') part.erase(0, 1);
        parts.push_back(part);
    }
    ASSERT_EQ(parts.size(), 4u) << line;
    EXPECT_EQ(parts[0], std::string("zlib ") + ZLIB_VERSION);
    EXPECT_TRUE(parts[1].starts_with("libjpeg")) << parts[1];
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(parts[1].back()))) << parts[1];
    EXPECT_TRUE(parts[2].starts_with("OpenSSL 3.")) << parts[2];
    EXPECT_TRUE(parts[3].starts_with("libcurl/")) << parts[3];
    EXPECT_NE(parts[3].find("OpenSSL/"), std::string::npos) << parts[3];
}
} // namespace
