// The upload worker against loopback servers. cpp-httplib is a native-only
// library: the file is empty where it is not linked in.
#if __has_include(<httplib.h>) && defined(CPPHTTPLIB_OPENSSL_SUPPORT)
#include "output/SendScreen.h"
#include "support/Utilities.h"
#include "unit/fakes/LoopbackCertificate.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

namespace {
class TInlineGui final : public TGuiDispatcher {
public:
    void Post(std::function<void()> task) override { task(); }
};

class TFakeProgress final : public TProgressView {
public:
    bool Showing() const override { return FShowing; }
    void Show() override { Record(-1), FShowing = true; }
    void Close() override { Record(-2), FShowing = false; }
    void SetPosition(std::int32_t percent) override { Record(percent); }
    std::vector<int> Events() const { // -1 show, -2 close, else a position
        std::lock_guard lock(FMutex);
        return FEvents;
    }

private:
    void Record(int event) {
        std::lock_guard lock(FMutex);
        FEvents.push_back(event);
    }
    mutable std::mutex FMutex;
    std::vector<int> FEvents;
    bool FShowing = false;
};

struct TLoopback {
    std::unique_ptr<httplib::Server> Server;
    int Port;
    std::thread Thread;
    explicit TLoopback(std::unique_ptr<httplib::Server> server)
        : Server(std::move(server)), Port(Server->bind_to_any_port("127.0.0.1")),
          Thread([this] { Server->listen_after_bind(); }) {}
    ~TLoopback() {
        Server->stop();
        Thread.join();
    }
    std::wstring Url(std::string_view scheme, std::string_view path) const {
        return Utf8ToWide(std::string(scheme) + "://127.0.0.1:" + std::to_string(Port) +
                          std::string(path));
    }
};

struct TClient {
    TInlineGui Gui;
    TFakeProgress Progress;
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<std::wstring> Replies;
    std::unique_ptr<TThreadSendScreen> Worker;

    explicit TClient(std::wstring url, TUploadOptions options = {}) {
        options.EndpointUrl = std::move(url);
        Worker = std::make_unique<TThreadSendScreen>(Gui, Progress, L"12345", std::move(options));
        Worker->OnRedyLink = [this](const std::wstring& reply) {
            std::lock_guard lock(Mutex);
            Replies.push_back(reply);
            Arrived.notify_all();
        };
    }
    std::vector<std::wstring> Wait(std::size_t count) {
        std::unique_lock lock(Mutex);
        Arrived.wait_for(lock, 30s, [&] { return Replies.size() >= count; });
        return Replies;
    }
    std::wstring UploadOne() {
        Worker->SendScreen(std::vector<std::uint8_t>{1, 2, 3}, L".PNG");
        const auto replies = Wait(1);
        return replies.empty() ? L"<none>" : replies.front();
    }
};

constexpr const char* Endpoint = "/i/index.php";

std::vector<std::uint8_t> Noise(std::size_t size, unsigned seed) {
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    return bytes;
}
} // namespace

TEST(SendScreen, TwoQuickUploadsArriveInOrderWithTheirParts) {
    struct TReceived {
        std::string Version, ContentType, Accept, Agent, Connection, Length, Query;
        std::size_t BodySize;
        httplib::MultipartFormDataMap Files;
    };
    std::mutex mutex;
    std::vector<TReceived> received;
    auto server = std::make_unique<httplib::Server>();
    server->Post(Endpoint, [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        received.push_back({req.version, req.get_header_value("Content-Type"),
                            req.get_header_value("Accept"), req.get_header_value("User-Agent"),
                            req.get_header_value("Connection"),
                            req.get_header_value("Content-Length"), req.get_param_value("r"),
                            req.body.size(), req.files});
        res.set_content(R"({"screen_link":"http://h/s/)" + std::to_string(received.size()) +
                            R"(.png"})",
                        "application/json");
    });
    const TLoopback loopback(std::move(server));
    TClient client(loopback.Url("http", "/i/index.php?r=user/imggate"));

    const auto first = Noise(3 << 20, 1), second = Noise(2 << 20, 2);
    client.Worker->SendScreen(first, L".JPG");
    client.Worker->SendScreen(second, L".PNG");
    EXPECT_EQ(client.Wait(2),
              (std::vector<std::wstring>{LR"({"screen_link":"http://h/s/1.png"})",
                                         LR"({"screen_link":"http://h/s/2.png"})"}));

    ASSERT_EQ(received.size(), 2u);
    const std::string hash = WideToUtf8(Md5Hex(L"12345"));
    const std::vector<std::uint8_t>* images[] = {&first, &second};
    const char* formats[] = {"=2EJPG", "=2EPNG"};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const auto& r = received[i];
        EXPECT_EQ(r.Version, "HTTP/1.0");
        EXPECT_EQ(r.Query, "user/imggate");
        EXPECT_TRUE(r.ContentType.starts_with("multipart/form-data; boundary=--------"));
        EXPECT_EQ(r.ContentType.size(), 30 + 23u);
        EXPECT_EQ(r.Accept, "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
        EXPECT_EQ(r.Agent, "Mozilla/3.0 (compatible; Indy Library)");
        EXPECT_EQ(r.Connection, "keep-alive");
        ASSERT_EQ(r.Files.size(), 3u);
        EXPECT_EQ(r.Files.find("user_hash")->second.content, hash);
        EXPECT_EQ(r.Files.find("format")->second.content, formats[i]);
        const auto& file = r.Files.find("filescreen")->second;
        EXPECT_EQ(file.filename.size(), 47u);
        EXPECT_TRUE(file.filename.starts_with("TMP_SCREEN_NAME"));
        EXPECT_EQ(file.content_type, "application/octet-stream");
        EXPECT_EQ(file.content, std::string(images[i]->begin(), images[i]->end()));
    }
    EXPECT_NE(received[0].ContentType, received[1].ContentType);
    EXPECT_NE(received[0].Files.find("filescreen")->second.filename,
              received[1].Files.find("filescreen")->second.filename);

    // Shown at 0 for the first upload, rising, closed once 100 is reached;
    // the second upload shows it again from its first progress.
    const auto events = client.Progress.Events();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], -1);
    EXPECT_EQ(events[1], 0);
    int shows = 0, last = -1;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i] == -1) ++shows, last = -1;
        if (events[i] >= 0) {
            EXPECT_GT(events[i], last);
            EXPECT_LT(events[i], 100);
            last = events[i];
        }
    }
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(events.back(), -2);
    EXPECT_FALSE(client.Progress.Showing());
    EXPECT_LE(events.size(), 2u * 104); // at most one hand-over per percent
}

TEST(SendScreen, RepliesAndFailures) {
    auto server = std::make_unique<httplib::Server>();
    server->Post("/fail", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content(R"({"error":"disk full"})", "application/json");
    });
    server->Post("/cp1251", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("{\"error\":\"\xcf\xf0\xe8\"}", "application/json; charset=windows-1251");
    });
    server->Post(R"(/r/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        const int left = std::stoi(req.matches[1]);
        if (left == 0) return res.set_content("done", "text/plain");
        // This server may drop a kept-alive connection unannounced, which
        // would make the chain fail at random; a fresh connection per hop.
        res.set_header("Connection", "close");
        res.set_redirect("/r/" + std::to_string(left - 1), 307);
    });
    const TLoopback loopback(std::move(server));

    struct TCase {
        std::wstring Url;
        std::wstring Reply;
    } cases[] = {
        {loopback.Url("http", "/fail"), L""},
        {loopback.Url("http", "/cp1251"), L"{\"error\":\"При\"}"},
        {loopback.Url("http", "/r/15"), L"done"},
        {loopback.Url("http", "/r/16"), L""},
        {L"http://127.0.0.1:1/refused", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.Url));
        const auto start = TClock::now();
        EXPECT_EQ(TClient(c.Url).UploadOne(), c.Reply);
        EXPECT_LT(TClock::now() - start, 5s);
    }
    // Images encoded by the worker: an encoder that throws is a failed
    // upload with its reply, and the next one still goes out.
    TClient client(loopback.Url("http", "/r/0"));
    client.Worker->SendScreen(TThreadSendScreen::TImageSource([]() -> std::vector<std::uint8_t> {
                                  throw std::runtime_error("encoder");
                              }),
                              L".PNG");
    client.Worker->SendScreen(TThreadSendScreen::TImageSource([] { return Noise(100, 1); }),
                              L".PNG");
    EXPECT_EQ(client.Wait(2), (std::vector<std::wstring>{L"", L"done"}));
}

TEST(SendScreen, UntrustedCertificateFails) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("kadrix-tls-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto cert = (dir / "cert.pem").string(), key = (dir / "key.pem").string();
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
                                "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
                                key + " -out " + cert + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "openssl command not available";

    bool reached = false;
    auto server = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
    server->Post(Endpoint, [&](const httplib::Request&, httplib::Response& res) {
        reached = true;
        res.set_content(R"({"screen_link":"x"})", "application/json");
    });
    {
        const TLoopback loopback(std::move(server));
        const auto start = TClock::now();
        EXPECT_EQ(TClient(loopback.Url("https", Endpoint)).UploadOne(), L"");
        EXPECT_LT(TClock::now() - start, 5s);
    }
    EXPECT_FALSE(reached);
    std::filesystem::remove_all(dir);
}

// The stall rule counts from the start of each request: a reply that never
// comes, a redirect to a server that never answers, a TLS handshake that
// never starts. Each fails once the stall time has passed.
TEST(SendScreen, ARequestThatMovesNothingFailsAfterTheStallTime) {
    EXPECT_EQ(TUploadOptions().StallSeconds, 10);
    std::mutex mutex;
    std::condition_variable release;
    bool released = false;
    const auto hold = [&] {
        std::unique_lock lock(mutex);
        release.wait_for(lock, 30s, [&] { return released; });
    };
    auto server = std::make_unique<httplib::Server>();
    server->Post("/silent", [&](const httplib::Request&, httplib::Response& res) {
        hold();
        res.set_content("late", "text/plain");
    });
    server->Post("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/silent-get", 302);
    });
    server->Get("/silent-get", [&](const httplib::Request&, httplib::Response& res) {
        hold();
        res.set_content("late", "text/plain");
    });
    const TLoopback loopback(std::move(server));
    // Accepted by the system, never by a program: the handshake hangs.
    const int mute = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof at;
    ASSERT_EQ(::bind(mute, reinterpret_cast<sockaddr*>(&at), len), 0);
    ASSERT_EQ(::listen(mute, 4), 0);
    ASSERT_EQ(::getsockname(mute, reinterpret_cast<sockaddr*>(&at), &len), 0);

    TUploadOptions options;
    options.StallSeconds = 2;
    const std::wstring cases[] = {
        loopback.Url("http", "/silent"),
        loopback.Url("http", "/moved"),
        L"https://127.0.0.1:" + std::to_wstring(ntohs(at.sin_port)) + L"/i/index.php",
    };
    for (const auto& url : cases) {
        SCOPED_TRACE(WideToUtf8(url));
        const auto start = TClock::now();
        EXPECT_EQ(TClient(url, options).UploadOne(), L"");
        const auto elapsed = TClock::now() - start;
        EXPECT_GE(elapsed, 2s);
        EXPECT_LT(elapsed, 4s);
    }
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    release.notify_all();
    ::close(mute);
}

TEST(SendScreen, TheTimeLimitGrowsWithTheBody) {
    const TUploadOptions options;
    const struct {
        std::uint64_t Bytes;
        std::chrono::milliseconds Limit;
    } cases[] = {
        {0, 30s},
        {1, 30001ms},               // a started millisecond counts
        {16 * 1024, 31s},           // 16 KiB a second
        {3u << 20, 30s + 192s},     // a 3 MiB PNG: 3 min 42 s
        {50u << 20, 30s + 3200s},   // the service's largest image
        {std::uint64_t(1) << 50, std::chrono::milliseconds(0x7FFFFFFF)}, // libcurl's long
    };
    for (const auto& c : cases)
        EXPECT_EQ(UploadTimeLimit(options, c.Bytes), c.Limit) << c.Bytes;
}

// A server that answers a byte at a time never stalls, but the time limit
// still ends the upload.
TEST(SendScreen, ATrickleEndsAtTheTimeLimit) {
    auto server = std::make_unique<httplib::Server>();
    server->Post(Endpoint, [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
            std::this_thread::sleep_for(300ms);
            return sink.write("x", 1);
        });
    });
    const TLoopback loopback(std::move(server));
    TUploadOptions options;
    options.StallSeconds = 2;
    options.TimeLimitBaseSeconds = 3;
    options.MinBytesPerSecond = 1 << 30;
    const auto start = TClock::now();
    EXPECT_EQ(TClient(loopback.Url("http", Endpoint), options).UploadOne(), L"");
    const auto elapsed = TClock::now() - start;
    EXPECT_GE(elapsed, 3s);
    EXPECT_LT(elapsed, 5s);
}

TEST(SendScreen, RedirectsKeepTheEndpointsScheme) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"https://h/i", "https"}, {"HTTPS://h/i", "https"}, {"http://h/i", "http"},
        {"ftp://h/i", ""},        {"https:/h", ""},         {"httpx://h", ""},
        {"", ""},
    };
    for (const auto& [url, protocols] : cases)
        EXPECT_EQ(RedirectProtocolsFor(url), protocols) << url;
}

// Where each redirect leads, and whether the body goes along: only a 307 or
// 308 sends it again, and never from HTTPS to HTTP or from HTTP to HTTPS.
TEST(SendScreen, ARedirectNeverLeavesTheEndpointsScheme) {
    const TLoopbackCertificate certificate;
    if (!certificate.Made) GTEST_SKIP() << "openssl command not available";
    std::mutex mutex;
    std::vector<std::string> reached; // "https POST body", "http GET empty"...
    const auto record = [&](httplib::Server& server, const std::string& name) {
        const auto target = [&, name](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            const bool whole = req.get_file_value("filescreen").content == "\1\2\3";
            reached.push_back(name + " " + req.method + (whole ? " body" : " empty"));
            res.set_content("landed", "text/plain");
        };
        server.Post("/target", target);
        server.Get("/target", target);
        server.Post(R"(/to/(\d+)/(.*))", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("Connection", "close");
            res.set_redirect(req.matches[2].str(), std::stoi(req.matches[1]));
        });
    };
    auto plain = std::make_unique<httplib::Server>();
    auto tls = std::make_unique<httplib::SSLServer>(certificate.Cert.c_str(),
                                                    certificate.Key.c_str());
    record(*plain, "http");
    record(*tls, "https");
    const TLoopback plainLoop(std::move(plain)), tlsLoop(std::move(tls));
    const std::string http = WideToUtf8(plainLoop.Url("http", "/target"));
    const std::string https = WideToUtf8(tlsLoop.Url("https", "/target"));

    TUploadOptions options;
    options.CaFile = certificate.Cert;
    const struct {
        const TLoopback& From;
        const char* Scheme;
        int Status;
        std::string To;
        std::wstring Reply;
        std::string Reached; // where the upload landed; empty: nowhere
    } cases[] = {
        {tlsLoop, "https", 307, http, L"", ""},
        {tlsLoop, "https", 308, http, L"", ""},
        {tlsLoop, "https", 302, http, L"", ""},
        {tlsLoop, "https", 301, http, L"", ""},
        {tlsLoop, "https", 307, https, L"landed", "https POST body"},
        {tlsLoop, "https", 303, https, L"landed", "https GET empty"},
        {plainLoop, "http", 307, https, L"", ""},
        {plainLoop, "http", 302, https, L"", ""},
        {plainLoop, "http", 308, http, L"landed", "http POST body"},
        {plainLoop, "http", 301, http, L"landed", "http GET empty"},
        {plainLoop, "http", 302, http, L"landed", "http GET empty"},
    };
    for (const auto& c : cases) {
        const std::wstring url =
            c.From.Url(c.Scheme, "/to/" + std::to_string(c.Status) + "/" + c.To);
        SCOPED_TRACE(WideToUtf8(url));
        {
            std::lock_guard lock(mutex);
            reached.clear();
        }
        EXPECT_EQ(TClient(url, options).UploadOne(), c.Reply);
        std::lock_guard lock(mutex);
        EXPECT_EQ(reached, c.Reached.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{c.Reached});
    }
}

// Past MaxPending unanswered uploads the next is refused at once; once the
// server answers, there is room again.
TEST(SendScreen, AtMostEightUploadsWait) {
    std::mutex mutex;
    std::condition_variable release;
    bool released = false;
    auto server = std::make_unique<httplib::Server>();
    server->Post(Endpoint, [&](const httplib::Request&, httplib::Response& res) {
        std::unique_lock lock(mutex);
        release.wait_for(lock, 30s, [&] { return released; });
        res.set_content("ok", "text/plain");
    });
    const TLoopback loopback(std::move(server));
    TClient client(loopback.Url("http", Endpoint));
    EXPECT_EQ(TUploadOptions().MaxPending, 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(client.Worker->SendScreen(Noise(100, unsigned(i)), L".PNG")) << i;
    EXPECT_FALSE(client.Worker->SendScreen(Noise(100, 9), L".PNG"));
    EXPECT_FALSE(client.Worker->SendScreen(TThreadSendScreen::TImageSource([] {
                                               ADD_FAILURE() << "a refused image is encoded";
                                               return Noise(1, 1);
                                           }),
                                           L".PNG"));
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    release.notify_all();
    EXPECT_EQ(client.Wait(8), std::vector<std::wstring>(8, L"ok"));
    EXPECT_TRUE(client.Worker->SendScreen(Noise(100, 10), L".PNG"));
    EXPECT_EQ(client.Wait(9).size(), 9u);
}
#endif
