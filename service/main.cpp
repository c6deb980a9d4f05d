// kadrix-service: the upload service as one command. Without options it
// keeps its data in the user's data folder, makes a certificate for
// loopback use on first start and serves HTTPS on 127.0.0.1:8443.
#include "UploadService.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <pthread.h>
#include <string>
#include <string_view>
#include <thread>

namespace {
constexpr const char* Usage = R"(Usage: kadrix-service [options]

Receives Kadrix uploads, serves the stored images and /update.txt.

  --listen HOST:PORT   address to listen on (default 127.0.0.1:8443,
                       127.0.0.1:8080 with --http; [::1]:PORT for IPv6)
  --data DIR           data folder: images/, tls/ (default
                       $XDG_DATA_HOME/kadrix-service or ~/.local/share/kadrix-service)
  --cert FILE          TLS certificate chain (PEM) to use instead of the
  --key FILE           generated loopback certificate; give both
  --http               plain HTTP, for running behind a TLS-terminating proxy
  --base-url URL       public address put in links (default from the
                       scheme, host and port listened on)
  --max-bytes N        largest image accepted, in bytes; K, M or G suffix
                       allowed (default 50M)
  --version-line TEXT  line 1 of /update.txt, the newest version (default 2.15)
  --download-line TEXT line 2 of /update.txt (default BASE/download.php)
  --notes-line TEXT    line 3 of /update.txt (default "Kadrix VERSION")
  --help               this text
)";

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "kadrix-service: %s (see --help)\n", message.c_str());
    std::exit(2);
}

std::filesystem::path DefaultDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::filesystem::path(xdg) / "kadrix-service";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local/share/kadrix-service";
    return "kadrix-service-data";
}

void ParseListen(std::string_view text, TServiceConfig& config) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) Fail("--listen wants HOST:PORT");
    auto host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string port(text.substr(colon + 1));
    char* end = nullptr;
    const long value = std::strtol(port.c_str(), &end, 10);
    if (host.empty() || port.empty() || *end || value < 0 || value > 65535)
        Fail("--listen wants HOST:PORT");
    config.Host = host;
    config.Port = int(value);
}

std::size_t ParseBytes(const std::string& text) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    const std::string_view suffix(end);
    const int shift = suffix.empty()  ? 0
                      : suffix == "K" ? 10
                      : suffix == "M" ? 20
                      : suffix == "G" ? 30
                                      : -1;
    if (end == text.c_str() || text.front() == '-' || shift < 0 || value == 0 ||
        value > (1ULL << 40) >> shift)
        Fail("--max-bytes wants a positive number of bytes");
    return std::size_t(value << shift);
}

TServiceConfig ParseArguments(int argc, char** argv) {
    TServiceConfig config;
    bool listenGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail(std::string(arg) + " wants a value");
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        } else if (arg == "--listen") {
            ParseListen(value(), config);
            listenGiven = true;
        } else if (arg == "--data") {
            config.DataFolder = value();
        } else if (arg == "--cert") {
            config.CertFile = value();
        } else if (arg == "--key") {
            config.KeyFile = value();
        } else if (arg == "--http") {
            config.PlainHttp = true;
        } else if (arg == "--base-url") {
            config.BaseUrl = value();
        } else if (arg == "--max-bytes") {
            config.MaxImageBytes = ParseBytes(value());
        } else if (arg == "--version-line") {
            config.UpdateLines[0] = value();
        } else if (arg == "--download-line") {
            config.UpdateLines[1] = value();
        } else if (arg == "--notes-line") {
            config.UpdateLines[2] = value();
        } else {
            Fail("unknown option " + std::string(arg));
        }
    }
    if (config.PlainHttp && !listenGiven) config.Port = 8080;
    if (config.PlainHttp && !config.CertFile.empty()) Fail("--http and --cert exclude each other");
    if (config.DataFolder.empty()) config.DataFolder = DefaultDataFolder();
    return config;
}
} // namespace

int main(int argc, char** argv) {
    const auto config = ParseArguments(argc, argv);

    // Every thread started from here on leaves the two signals to sigwait.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        TUploadService service(config);
        std::thread waiter([&] {
            int signal = 0;
            sigwait(&signals, &signal);
            service.Stop();
        });
        std::fprintf(
            stderr,
            "kadrix-service listening on %s\n"
            "  data folder: %s\n"
            "%s%s%s"
            "  ServiceUrl:  %s\n",
            service.BaseUrl().c_str(), config.DataFolder.c_str(),
            service.CertFile().empty() ? "" : "  certificate: ", service.CertFile().c_str(),
            service.CertFile().empty() ? "" : "\n", service.BaseUrl().c_str());
        service.Run();
        pthread_kill(waiter.native_handle(), SIGTERM); // when Run ended on its own
        waiter.join();
        std::fputs("kadrix-service stopped\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kadrix-service: %s\n", e.what());
        return 1;
    }
    return 0;
}
