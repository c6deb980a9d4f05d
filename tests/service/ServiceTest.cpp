#include "UploadForm.h"
#include "UploadService.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {
constexpr const char* Boundary = "--------120926192033123";
// Binary bytes, among them a line that starts like the delimiter.
const std::string Png = std::string("\x89PNG\r\n\x1A\n\0\xFF", 10) + "\r\n--" + Boundary + "0";
const std::string Jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string("\0jfif", 5);
constexpr const char* Hash = "0123456789abcdef0123456789abcdef";
const std::string ContentType = std::string("multipart/form-data; boundary=") + Boundary;

struct TPart {
    std::string Name, Encoding, Content, FileName = "";
};

std::string Body(const std::vector<TPart>& parts) {
    std::string b;
    for (const auto& p : parts) {
        b += "--" + std::string(Boundary) + "\r\nContent-Disposition: form-data; name=\"" + p.Name +
             "\"";
        if (!p.FileName.empty()) b += "; filename=\"" + p.FileName + "\"";
        b += "\r\nContent-Type: " +
             std::string(p.Encoding == "binary" ? "application/octet-stream" : "text/plain") +
             "\r\nContent-Transfer-Encoding: " + p.Encoding + "\r\n\r\n" + p.Content + "\r\n";
    }
    return b + "--" + Boundary + "--\r\n";
}

// The body exactly as the client writes it.
std::string KadrixBody(const std::string& formatQp, const std::string& image,
                       const std::string& name = "TMP_SCREEN_NAME" + std::string(Hash)) {
    return Body({{"user_hash", "quoted-printable", Hash},
                 {"format", "quoted-printable", formatQp},
                 {"filescreen", "binary", image, name}});
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ServiceTest : public ::testing::Test {
protected:
    fs::path Data = fs::temp_directory_path() /
                    ("kadrix-service-test-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void TearDown() override { fs::remove_all(Data); }

    TServiceConfig Config(bool plain = true) {
        TServiceConfig c;
        c.Port = 0;
        c.DataFolder = Data;
        c.PlainHttp = plain;
        c.MaxImageBytes = 1000;
        return c;
    }
    std::vector<fs::path> StoredFiles() {
        std::vector<fs::path> files;
        if (fs::exists(Data / "images"))
            for (const auto& e : fs::directory_iterator(Data / "images"))
                files.push_back(e.path());
        return files;
    }
};
} // namespace

TEST(QuotedPrintable, Decodes) {
    EXPECT_EQ(DecodeQuotedPrintable("=2EPNG"), ".PNG");
    EXPECT_EQ(DecodeQuotedPrintable("=2ejpg"), ".jpg");
    EXPECT_EQ(DecodeQuotedPrintable("0123=\r\n4567=\n89"), "0123456789");
    for (const char* bad : {"=2", "=G0", "ab=", "=\r"})
        EXPECT_THROW(DecodeQuotedPrintable(bad), TUploadError) << bad;
}

TEST_F(ServiceTest, RefusesBadBodiesAndStoresNothing) {
    const std::string big = Png + std::string(1000, 'x');
    const struct {
        const char* What;
        std::string ContentType, Body;
        int Status;
    } cases[] = {
        {"missing part", ContentType,
         Body({{"user_hash", "quoted-printable", Hash}, {"filescreen", "binary", Png, "a"}}), 400},
        {"part twice", ContentType,
         Body({{"user_hash", "quoted-printable", Hash},
               {"format", "quoted-printable", "=2EPNG"},
               {"format", "quoted-printable", "=2EPNG"},
               {"filescreen", "binary", Png, "a"}}),
         400},
        {"unknown format", ContentType, KadrixBody("=2EGIF", Png), 400},
        {"format not decoded", ContentType, KadrixBody("=2", Png), 400},
        {"PNG labelled JPG", ContentType, KadrixBody("=2EJPG", Png), 400},
        {"JPEG labelled PNG", ContentType, KadrixBody("=2EPNG", Jpeg), 400},
        {"empty image", ContentType, KadrixBody("=2EPNG", ""), 400},
        {"over the cap", ContentType, KadrixBody("=2EPNG", big), 413},
        {"traversal", ContentType, KadrixBody("=2EPNG", Png, "../../etc/passwd"), 400},
        {"dots", ContentType, KadrixBody("=2EPNG", Png, ".."), 400},
        {"backslash", ContentType, KadrixBody("=2EPNG", Png, "a\\b"), 400},
        {"upper-case hash", ContentType,
         Body({{"user_hash", "quoted-printable", "0123456789ABCDEF0123456789ABCDEF"},
               {"format", "quoted-printable", "=2EPNG"},
               {"filescreen", "binary", Png, "a"}}),
         400},
        {"truncated", ContentType, KadrixBody("=2EPNG", Png).substr(0, 300), 400},
        {"other boundary", ContentType + "x", KadrixBody("=2EPNG", Png), 400},
        {"not multipart", "application/octet-stream", Png, 415},
    };
    TImageStore store(Data / "images");
    for (const auto& c : cases) {
        const auto reply = HandleUpload(store, "http://h", c.ContentType, c.Body, 1000);
        EXPECT_EQ(reply.Status, c.Status) << c.What;
        const auto json = nlohmann::json::parse(reply.Body);
        EXPECT_TRUE(json.at("error").is_string() && !json.contains("screen_link")) << c.What;
    }
    EXPECT_TRUE(StoredFiles().empty());
}

TEST_F(ServiceTest, StoresAnUploadAndServesItBack) {
    TUploadService service(Config());
    service.Start();
    httplib::Client client("127.0.0.1", service.Port());
    for (const auto& [format, image, type] :
         {std::tuple{"=2EPNG", Png, "image/png"}, std::tuple{"=2EJPG", Jpeg, "image/jpeg"}}) {
        const auto res = client.Post("/i/index.php?r=user/imggate", KadrixBody(format, image),
                                     ContentType.c_str());
        ASSERT_TRUE(res);
        ASSERT_EQ(res->status, 200) << res->body;
        const auto json = nlohmann::json::parse(res->body);
        ASSERT_EQ(json.size(), 1u);
        const std::string link = json.at("screen_link");
        const std::string ext = type == std::string("image/png") ? "png" : "jpg";
        const auto prefix = service.BaseUrl() + "/s/";
        ASSERT_EQ(link.size(), prefix.size() + 36) << link;
        EXPECT_TRUE(link.starts_with(prefix) && link.ends_with("." + ext)) << link;
        EXPECT_TRUE(TImageStore::FormatOfName(link.substr(prefix.size()))) << link;

        const auto back = client.Get(link.substr(service.BaseUrl().size()).c_str());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->status, 200);
        EXPECT_EQ(back->body, image);
        EXPECT_EQ(back->get_header_value("Content-Type"), type);
    }
    // Two images, no temporary files left beside them.
    EXPECT_EQ(StoredFiles().size(), 2u);

    for (const char* path : {"/s/0123456789abcdef0123456789abcdef.png", "/s/..%2Fcert.png",
                             "/s/0123456789abcdef0123456789abcdef.gif", "/i/index.php?r=x"}) {
        const auto res = client.Get(path);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 404) << path;
    }
    const auto wrongRoute =
        client.Post("/i/index.php?r=other", KadrixBody("=2EPNG", Png), ContentType.c_str());
    ASSERT_TRUE(wrongRoute);
    EXPECT_EQ(wrongRoute->status, 404);
}

TEST_F(ServiceTest, AcceptsAPlainFormPost) {
    TUploadService service(Config());
    service.Start();
    httplib::Client client("127.0.0.1", service.Port());
    const httplib::MultipartFormDataItems items{{"user_hash", Hash, "", ""},
                                                {"format", ".PNG", "", ""},
                                                {"filescreen", Png, "shot.png", "image/png"}};
    const auto res = client.Post("/i/index.php?r=user/imggate", items);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200) << res->body;

    // A body far over the cap is cut off before it is read into memory.
    const auto big =
        client.Post("/i/index.php?r=user/imggate",
                    KadrixBody("=2EPNG", Png + std::string(200000, 'x')), ContentType.c_str());
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    EXPECT_TRUE(nlohmann::json::parse(big->body).at("error").is_string());
}

TEST_F(ServiceTest, UpdateFileIsUtf16WithByteOrderMark) {
    auto config = Config();
    config.UpdateLines = {"2.16", "", "Новое"};
    TUploadService service(config);
    service.Start();
    httplib::Client client("127.0.0.1", service.Port());
    const auto res = client.Get("/update.txt");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/plain");
    std::string expected = "\xFF\xFE";
    auto add = [&](std::u16string_view s) {
        for (char16_t c : s) {
            expected += char(c & 0xFF);
            expected += char(c >> 8);
        }
    };
    add(u"2.16\r\n");
    const auto port = std::to_string(service.Port());
    add(u"http://127.0.0.1:" + std::u16string(port.begin(), port.end()) + u"/download.php\r\n");
    add(u"Новое\r\n");
    EXPECT_EQ(res->body, expected);
}

TEST_F(ServiceTest, ServesHttpsWithItsGeneratedCertificate) {
    std::string certificate;
    for (int run = 0; run < 2; ++run) {
        TUploadService service(Config(false));
        service.Start();
        EXPECT_EQ(service.BaseUrl(), "https://127.0.0.1:" + std::to_string(service.Port()));
        if (run == 0) certificate = ReadFile(service.CertFile());
        EXPECT_EQ(ReadFile(service.CertFile()), certificate) << "kept across starts";

        for (const char* host : {"127.0.0.1", "localhost"}) {
            httplib::SSLClient client(host, service.Port());
            client.set_ca_cert_path(service.CertFile().c_str());
            client.enable_server_certificate_verification(true);
            const auto res = client.Post("/i/index.php?r=user/imggate", KadrixBody("=2EPNG", Png),
                                         ContentType.c_str());
            ASSERT_TRUE(res) << host << ": " << httplib::to_string(res.error());
            EXPECT_EQ(res->status, 200);
        }
    }
    // An untrusting client is turned away.
    TUploadService service(Config(false));
    service.Start();
    httplib::SSLClient client("127.0.0.1", service.Port());
    client.enable_server_certificate_verification(true);
    const auto res = client.Get("/update.txt");
    EXPECT_EQ(res.error(), httplib::Error::SSLServerVerification);
}
