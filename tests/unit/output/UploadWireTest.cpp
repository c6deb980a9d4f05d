#include "output/UploadWire.h"
#include "output/ProxyConfig.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(UploadWire, QuotedPrintable) {
    const std::string a68(68, 'a'), a69(69, 'a'), a70(70, 'a');
    struct TCase {
        std::string In, Out;
    } cases[] = {
        {"", "\r\n"},
        {".PNG", "=2EPNG\r\n"},
        {".JPG", "=2EJPG\r\n"},
        {"0123456789abcdef", "0123456789abcdef\r\n"},
        {"a=b\xff\n", "a=3Db=FF=0A\r\n"},
        {"a b ", "a b=20\r\n"},
        {a70, a70 + "\r\n"},
        {a70 + "aaaaa", a70 + "=\r\naaaaa\r\n"},
        {a69 + ".b", a69 + ".=\r\nb\r\n"},
        {a70 + ".x", a70 + "=\r\n=2Ex\r\n"},
        {a68 + "\xff"
               "b",
         a68 + "=FF=\r\nb\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuotedPrintable(c.In), c.Out) << c.In;
}

TEST(UploadWire, BoundaryAndFileName) {
    EXPECT_EQ(MultipartBoundary({2026, 12, 8, 13, 4, 9, 7}), "--------120826130409007");
    EXPECT_EQ(UploadFileName(42), "TMP_SCREEN_NAMEa1d0c6e83f027327d8461063f4ac58a6");
    for (int i = 0; i < 100; ++i)
        EXPECT_LT(RandomUploadNumber(), 9999999u);
}

TEST(UploadWire, BodyBytes) {
    const std::uint8_t image[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x00, '-', '-'};
    const std::string body =
        BuildUploadBody({"--------120826130409007", "0123456789abcdef0123456789abcdef", ".JPG",
                         "TMP_SCREEN_NAMEa1d0c6e83f027327d8461063f4ac58a6", image});
    const std::string expected = "----------120826130409007\r\n"
                                 "Content-Disposition: form-data; name=\"user_hash\"\r\n"
                                 "Content-Type: text/plain\r\n"
                                 "Content-Transfer-Encoding: quoted-printable\r\n"
                                 "\r\n"
                                 "0123456789abcdef0123456789abcdef\r\n"
                                 "----------120826130409007\r\n"
                                 "Content-Disposition: form-data; name=\"format\"\r\n"
                                 "Content-Type: text/plain\r\n"
                                 "Content-Transfer-Encoding: quoted-printable\r\n"
                                 "\r\n"
                                 "=2EJPG\r\n"
                                 "----------120826130409007\r\n"
                                 "Content-Disposition: form-data; name=\"filescreen\"; "
                                 "filename=\"TMP_SCREEN_NAMEa1d0c6e83f027327d8461063f4ac58a6\"\r\n"
                                 "Content-Type: application/octet-stream\r\n"
                                 "Content-Transfer-Encoding: binary\r\n"
                                 "\r\n"
                                 "\x89PNG\r\n\0--\r\n"
                                 "----------120826130409007--\r\n"s;
    EXPECT_EQ(body, expected);
    EXPECT_EQ(expected.find('\0'), expected.find("PNG") + 5); // the NUL survived the literal
    EXPECT_EQ(UploadContentType("--------1"), "multipart/form-data; boundary=--------1");
}

TEST(UploadWire, ReplyCharsets) {
    struct TCase {
        std::string Body, ContentType;
        std::wstring Text;
    } cases[] = {
        {"\xcf\xf0\xe8", "text/html; charset=windows-1251", L"При"},
        {"\x88\xb9\xa8", "text/plain;charset=\"CP1251\"", L"€№Ё"},
        {"\xd0\x9f{}", "application/json; charset=UTF-8", L"П{}"},
        {"\xd0\x9f", "application/json", L"\u00d0\u009f"},
        {"\xe9", "text/plain; charset=ISO-8859-1", L"\u00e9"},
        {"\xcf", "text/plain; charset=koi8-r", L"\u00cf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeReplyBody(c.Body, c.ContentType), c.Text) << c.ContentType;
}

TEST(UploadWire, SystemProxyToCurl) {
    const std::string local = "localhost,127.0.0.1,::1";
    struct TCase {
        TSystemProxyConfig Config;
        std::string_view Url;
        TCurlProxy Expected;
    } cases[] = {
        {{}, "https://h/", {}},
        {{true, L"http://wpad/proxy.pac", L"", L""}, "https://h/", {}},
        {{false, L"", L"p:8080", L""}, "https://h/", {"http://p:8080", local}},
        {{true, L"http://wpad/p.pac", L"p:8080", L""}, "http://h/", {"http://p:8080", local}},
        {{false, L"", L"http=p:80;https=q:443", L""}, "https://h/", {"http://q:443", local}},
        {{false, L"", L"http=p:80 https=q:443", L""}, "HTTP://h/", {"http://p:80", local}},
        {{false, L"", L"http=p:80", L""}, "https://h/", {}},
        {{false, L"", L"ftp=f:21;socks=s:1080", L""}, "https://h/", {"socks4://s:1080", local}},
        {{false, L"", L"p:3128",
          L"<local>;*.corp;10.*;192.168.1.*;intra;*mid*;host:81;http://web.example"},
         "https://h/",
         {"http://p:3128", local + ",.corp,10.0.0.0/8,192.168.1.0/24,intra,web.example"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapSystemProxy(c.Config, c.Url), c.Expected) << c.Url;
}
