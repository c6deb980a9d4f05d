#include "UploadService.h"

#include "SelfSigned.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace {
constexpr std::string_view UploadPath = "/i/index.php";
constexpr std::string_view UploadRoute = "user/imggate";
constexpr std::string_view CurrentVersion = "2.15";
// Multipart framing and the two text parts around the image.
constexpr std::size_t FramingAllowance = 64 * 1024;

TReply JsonReply(int status, const nlohmann::json& json) {
    return {status, "application/json", json.dump()};
}

void AppendUtf16(std::string& out, char32_t c) {
    auto unit = [&](unsigned u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    if (c < 0x10000) {
        unit(unsigned(c));
    } else {
        c -= 0x10000;
        unit(0xD800 + unsigned(c >> 10));
        unit(0xDC00 + unsigned(c & 0x3FF));
    }
}

void AppendUtf8AsUtf16(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80         ? 0
                          : (b >> 5) == 6  ? 1
                          : (b >> 4) == 14 ? 2
                          : (b >> 3) == 30 ? 3
                                           : -1;
        if (extra < 0 || i + std::size_t(extra) >= text.size())
            throw std::invalid_argument("update line is not UTF-8");
        char32_t c = extra == 0 ? b : char32_t(b & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if ((t >> 6) != 2) throw std::invalid_argument("update line is not UTF-8");
            c = (c << 6) | (t & 0x3F);
        }
        static constexpr char32_t Least[] = {0, 0x80, 0x800, 0x10000};
        if (c < Least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            throw std::invalid_argument("update line is not UTF-8");
        if (c == '\r' || c == '\n') throw std::invalid_argument("update line holds a line break");
        AppendUtf16(out, c);
        i += std::size_t(extra) + 1;
    }
}

std::string Printable(std::string_view s) {
    std::string r(s.substr(0, 200));
    for (auto& c : r)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return r;
}

void LogRequest(const httplib::Request& req, const httplib::Response& res) {
    static std::mutex lock;
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::ostringstream line;
    line << stamp << ' ' << req.remote_addr << ' ' << Printable(req.method) << ' '
         << Printable(req.target) << ' ' << res.status << ' ' << res.body.size() << '\n';
    const std::lock_guard guard(lock);
    std::fputs(line.str().c_str(), stderr);
}

std::string HostForUrl(const std::string& host) {
    if (host == "0.0.0.0" || host == "::" || host.empty()) return "127.0.0.1";
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string StatusText(int status) {
    switch (status) {
    case 400:
        return "bad request";
    case 404:
        return "not found";
    case 405:
        return "method not allowed";
    case 413:
        return "payload too large";
    case 414:
        return "URI too long";
    default:
        return "HTTP status " + std::to_string(status);
    }
}

void Send(httplib::Response& res, const TReply& reply) {
    res.status = reply.Status;
    res.set_content(reply.Body, reply.ContentType.c_str());
}
} // namespace

TReply ErrorReply(int status, std::string_view message) {
    return JsonReply(status, {{"error", message}});
}

TReply HandleUpload(const TImageStore& store, std::string_view baseUrl,
                    std::string_view contentType, std::string_view body,
                    std::size_t maxImageBytes) {
    TUpload upload;
    try {
        upload = ReadUpload(contentType, body, maxImageBytes);
    } catch (const TUploadError& e) {
        return ErrorReply(e.Status, e.what());
    }
    std::string name;
    try {
        name = store.Put(upload.Image, upload.Format);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "storing an upload failed: %s\n", e.what());
        return ErrorReply(500, "the image could not be stored");
    }
    return JsonReply(200, {{"screen_link", std::string(baseUrl) + "/s/" + name}});
}

std::string UpdateFileBytes(const std::array<std::string, 3>& lines) {
    std::string out = "\xFF\xFE";
    for (const auto& line : lines) {
        AppendUtf8AsUtf16(out, line);
        out.append("\r\0\n\0", 4);
    }
    return out;
}

TUploadService::TUploadService(TServiceConfig config)
    : FConfig(std::move(config)), FStore(FConfig.DataFolder / "images") {
    if (FConfig.PlainHttp) {
        FServer = std::make_unique<httplib::Server>();
    } else {
        TTlsFiles tls{FConfig.CertFile, FConfig.KeyFile};
        if (tls.Cert.empty() != tls.Key.empty())
            throw std::invalid_argument("give both a certificate and a key, or neither");
        if (tls.Cert.empty()) tls = EnsureLoopbackCertificate(FConfig.DataFolder / "tls");
        auto server = std::make_unique<httplib::SSLServer>(tls.Cert.c_str(), tls.Key.c_str());
        if (!server->is_valid())
            throw std::runtime_error("cannot load the certificate " + tls.Cert.string() +
                                     " with the key " + tls.Key.string());
        SSL_CTX_set_min_proto_version(server->ssl_context(), TLS1_2_VERSION);
        FCertFile = tls.Cert;
        FServer = std::move(server);
    }
    FServer->set_payload_max_length(FConfig.MaxImageBytes + FramingAllowance);
    FServer->set_keep_alive_timeout(2);
    FServer->set_logger(LogRequest);
    AddRoutes();

    FPort = FConfig.Port == 0
                ? FServer->bind_to_any_port(FConfig.Host)
                : (FServer->bind_to_port(FConfig.Host, FConfig.Port) ? FConfig.Port : -1);
    if (FPort <= 0)
        throw std::runtime_error("cannot listen on " + FConfig.Host + ":" +
                                 std::to_string(FConfig.Port));
    FBaseUrl = FConfig.BaseUrl;
    while (!FBaseUrl.empty() && FBaseUrl.back() == '/')
        FBaseUrl.pop_back();
    if (FBaseUrl.empty())
        FBaseUrl = std::string(FConfig.PlainHttp ? "http" : "https") + "://" +
                   HostForUrl(FConfig.Host) + ":" + std::to_string(FPort);

    auto lines = FConfig.UpdateLines;
    if (lines[0].empty()) lines[0] = CurrentVersion;
    if (lines[1].empty()) lines[1] = FBaseUrl + "/download.php";
    if (lines[2].empty()) lines[2] = "Kadrix " + lines[0];
    FUpdateFile = UpdateFileBytes(lines);
}

TUploadService::~TUploadService() {
    Stop();
    if (FThread.joinable()) FThread.join();
}

void TUploadService::AddRoutes() {
    FServer->Post(std::string(UploadPath), [this](const httplib::Request& req,
                                                  httplib::Response& res,
                                                  const httplib::ContentReader& read) {
        if (req.get_param_value("r") != UploadRoute)
            return Send(res, ErrorReply(404, "unknown route"));
        // httplib would split a multipart body itself and drop the part
        // headers checked here; without the type it hands over the raw bytes.
        // The request object is the server's own mutable one.
        const auto contentType = req.get_header_value("Content-Type");
        const_cast<httplib::Request&>(req).headers.erase("Content-Type");
        std::string body;
        const bool complete = read([&](const char* data, std::size_t size) {
            body.append(data, size);
            return true;
        });
        if (!complete)
            return Send(res, res.status == 413 ? ErrorReply(413, "image too large")
                                               : ErrorReply(400, "incomplete body"));
        Send(res, HandleUpload(FStore, FBaseUrl, contentType, body, FConfig.MaxImageBytes));
    });

    FServer->Get(R"(/s/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string name = req.matches[1];
        const auto path = FStore.Find(name);
        if (!path) return Send(res, ErrorReply(404, "no such image"));
        try {
            res.set_content(ReadWholeFile(*path),
                            std::string(MimeTypeOf(*TImageStore::FormatOfName(name))).c_str());
            res.set_header("X-Content-Type-Options", "nosniff");
        } catch (const std::exception&) {
            Send(res, ErrorReply(404, "no such image"));
        }
    });

    // No charset in the type: the client reads the bytes one by one.
    FServer->Get("/update.txt", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(FUpdateFile, "text/plain");
    });

    FServer->set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) Send(res, ErrorReply(res.status, StatusText(res.status)));
    });
    FServer->set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            Send(res, ErrorReply(500, "internal error"));
        });
}

void TUploadService::Run() {
    {
        const std::lock_guard guard(FLock);
        if (FStopped) return;
        FRunning = true;
    }
    FServer->listen_after_bind();
    const std::lock_guard guard(FLock);
    FRunning = false;
}

void TUploadService::Start() {
    FThread = std::thread([this] { Run(); });
}

void TUploadService::Stop() {
    for (;;) {
        {
            const std::lock_guard guard(FLock);
            if (FStopped && !FRunning) return;
            FStopped = true;
            // stop() acts only once the loop has begun, and only once.
            if (FRunning && FServer->is_running() && !FStopSent) {
                FStopSent = true;
                FServer->stop();
                return;
            }
            if (FStopSent) return;
        }
        std::this_thread::yield();
    }
}
