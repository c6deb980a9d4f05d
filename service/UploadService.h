#pragma once
// The upload service: receives screenshots from Kadrix, keeps them under
// random ids and serves them back, and serves the update file the client
// checks. HTTPS by default (a certificate of its own for loopback use),
// plain HTTP behind a TLS-terminating proxy.
#include "ImageStore.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace httplib {
class Server;
}

struct TServiceConfig {
    std::string Host = "127.0.0.1";
    int Port = 8443; // 0: any free port
    std::filesystem::path DataFolder;
    std::filesystem::path CertFile, KeyFile; // empty: the generated loopback pair
    bool PlainHttp = false;
    std::string BaseUrl; // empty: from scheme, host and port
    std::size_t MaxImageBytes = std::size_t(50) << 20;
    // Update file: version, download page, note; empty ones get defaults.
    std::array<std::string, 3> UpdateLines;
};

// What the service answers, apart from the transport.
struct TReply {
    int Status = 200;
    std::string ContentType;
    std::string Body;
};

// Checks and stores one upload; the JSON reply with the link or the error.
TReply HandleUpload(const TImageStore& store, std::string_view baseUrl,
                    std::string_view contentType, std::string_view body, std::size_t maxImageBytes);

TReply ErrorReply(int status, std::string_view message);

// Byte-order mark, then the lines in UTF-16 little-endian, each ended by
// CR LF. The lines are UTF-8; invalid UTF-8 or a line break in a line throws.
std::string UpdateFileBytes(const std::array<std::string, 3>& lines);

class TUploadService {
public:
    // Prepares the folders and certificate and binds the port; throws when
    // any of that fails.
    explicit TUploadService(TServiceConfig config);
    TUploadService(const TUploadService&) = delete;
    TUploadService& operator=(const TUploadService&) = delete;
    ~TUploadService();

    // Serves on this thread until Stop.
    void Run();
    // Serves on a thread of its own (tests).
    void Start();
    // Safe from any thread, also before Run has begun.
    void Stop();

    int Port() const { return FPort; }
    const std::string& BaseUrl() const { return FBaseUrl; }
    const TServiceConfig& Config() const { return FConfig; }
    // Empty for plain HTTP.
    const std::filesystem::path& CertFile() const { return FCertFile; }

private:
    void AddRoutes();

    TServiceConfig FConfig;
    TImageStore FStore;
    std::filesystem::path FCertFile;
    std::unique_ptr<httplib::Server> FServer;
    int FPort = 0;
    std::string FBaseUrl;
    std::string FUpdateFile;
    std::mutex FLock;
    bool FRunning = false, FStopped = false, FStopSent = false;
    std::thread FThread;
};
