#pragma once
// A loopback HTTP server for the upload faults: it relays each connection to
// the real service, or breaks it the way a failing server does, in plain
// HTTP or, given a TLS context, behind a TLS handshake of its own (the relay
// passes bytes through as they are). Include it before <windows.h>: winsock2
// must come first.
#include <winsock2.h>

#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

class TBadServer {
public:
    enum class TMode {
        Relay,        // to the real service
        ResetMidBody, // reads half the body, then resets the connection
        Garbage,      // reads the request, answers "200" and 10 MB of random bytes
        Silent,       // accepts, reads, never answers
        Redirect,     // reads the request, answers SetRedirect's status and Location
    };

    explicit TBadServer(std::uint16_t relayPort) : FRelayPort(relayPort) {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        FListener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at = Loopback(0);
        int len = sizeof at;
        if (::bind(FListener, reinterpret_cast<sockaddr*>(&at), len) != 0 ||
            ::listen(FListener, 8) != 0 ||
            ::getsockname(FListener, reinterpret_cast<sockaddr*>(&at), &len) != 0)
            return;
        FPort = ntohs(at.sin_port);
        FAccept = std::thread([this] { AcceptLoop(); });
    }
    ~TBadServer() {
        FStopping = true;
        if (FAccept.joinable()) FAccept.join();
        ::closesocket(FListener);
        for (std::thread& t : FServing)
            t.join();
        ::WSACleanup();
    }
    TBadServer(const TBadServer&) = delete;
    TBadServer& operator=(const TBadServer&) = delete;

    // 0 when the server could not listen.
    std::uint16_t Port() const { return FPort; }
    void SetMode(TMode mode) { FMode = mode; }
    void SetRelayPort(std::uint16_t port) { FRelayPort = port; }
    void SetRedirect(int status, const std::string& location) {
        std::lock_guard lock(FMutex);
        FRedirect = "HTTP/1.1 " + std::to_string(status) + " Moved\r\nLocation: " + location +
                    "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }
    // TLS for every mode but Relay from the next connection on; null: plain.
    void SetTls(std::shared_ptr<SSL_CTX> context) {
        std::lock_guard lock(FMutex);
        FTls = std::move(context);
    }
    int Accepted() const { return FAccepted; }
    // Requests answered with the redirect.
    int Redirected() const { return FRedirected; }
    // Connections the client has not yet closed.
    int Open() const { return FOpen; }

private:
    class TSocket {
    public:
        explicit TSocket(SOCKET s) : S(s) {}
        ~TSocket() {
            if (S != INVALID_SOCKET) ::closesocket(S);
        }
        TSocket(const TSocket&) = delete;
        TSocket& operator=(const TSocket&) = delete;
        SOCKET S;
    };

    static sockaddr_in Loopback(std::uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

    // Waits up to 100 ms; every loop below polls so that stopping never hangs.
    static bool Ready(SOCKET s, bool write) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tv{0, 100000};
        return ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &tv) > 0;
    }

    // One accepted connection, with its TLS session once the handshake is done.
    struct TConn {
        SOCKET S;
        SSL* Tls = nullptr;
    };

    // Waits until OpenSSL can go on after WANT_READ/WANT_WRITE; false for
    // any other outcome, or once the server stops.
    bool TlsRetry(const TConn& c, int result) {
        const int error = SSL_get_error(c.Tls, result);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return false;
        while (!FStopping)
            if (Ready(c.S, error == SSL_ERROR_WANT_WRITE)) return true;
        return false;
    }

    // Bytes received, 0 once the peer is gone or the server stops.
    int Receive(const TConn& c, char* buf, int size) {
        while (!FStopping) {
            if (c.Tls) {
                const int n = SSL_read(c.Tls, buf, size);
                if (n > 0) return n;
                if (!TlsRetry(c, n)) return 0;
            } else if (Ready(c.S, false)) {
                return std::max(::recv(c.S, buf, size, 0), 0);
            }
        }
        return 0;
    }

    bool SendAll(const TConn& c, const char* data, std::size_t size) {
        while (size > 0 && !FStopping) {
            const int chunk = int(std::min<std::size_t>(size, 1 << 16));
            if (c.Tls) {
                const int n = SSL_write(c.Tls, data, chunk);
                if (n <= 0) {
                    if (!TlsRetry(c, n)) return false;
                    continue;
                }
                data += n;
                size -= std::size_t(n);
                continue;
            }
            if (!Ready(c.S, true)) continue;
            const int n = ::send(c.S, data, chunk, 0);
            if (n <= 0) return false;
            data += n;
            size -= std::size_t(n);
        }
        return size == 0;
    }
    bool SendAll(SOCKET s, const char* data, std::size_t size) {
        return SendAll(TConn{s}, data, size);
    }

    // The server side of the handshake on a non-blocking socket.
    bool Handshake(TConn& c, SSL_CTX* context) {
        u_long nonBlocking = 1;
        ::ioctlsocket(c.S, FIONBIO, &nonBlocking);
        c.Tls = SSL_new(context);
        if (!c.Tls || SSL_set_fd(c.Tls, int(c.S)) != 1) return false;
        for (;;) {
            const int r = SSL_accept(c.Tls);
            if (r == 1) return true;
            if (!TlsRetry(c, r)) return false;
        }
    }

    // Reads the headers and at least `share` of the body the client announced.
    bool ReadRequest(const TConn& s, double share) {
        std::string got;
        char buf[1 << 16];
        std::size_t headerEnd = std::string::npos, bodyWanted = 0;
        for (;;) {
            if (headerEnd == std::string::npos && (headerEnd = got.find("\r\n\r\n")) != got.npos) {
                headerEnd += 4;
                std::string head = got.substr(0, headerEnd);
                for (char& c : head)
                    c = char(std::tolower(static_cast<unsigned char>(c)));
                const auto at = head.find("content-length:");
                const std::size_t length =
                    at == head.npos ? 0 : std::strtoull(head.c_str() + at + 15, nullptr, 10);
                bodyWanted = std::max<std::size_t>(1, std::size_t(double(length) * share));
            }
            if (headerEnd != std::string::npos && got.size() - headerEnd >= bodyWanted) return true;
            const int n = Receive(s, buf, sizeof buf);
            if (n <= 0) return false;
            got.append(buf, std::size_t(n));
        }
    }

    void Relay(SOCKET client) {
        TSocket service(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        const sockaddr_in at = Loopback(FRelayPort.load());
        if (::connect(service.S, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0) return;
        char buf[1 << 16];
        while (!FStopping) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(client, &set);
            FD_SET(service.S, &set);
            timeval tv{0, 100000};
            if (::select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
            for (const auto& [from, to] : {std::pair{client, service.S}, {service.S, client}}) {
                if (!FD_ISSET(from, &set)) continue;
                const int n = ::recv(from, buf, sizeof buf, 0);
                if (n <= 0 || !SendAll(to, buf, std::size_t(n))) return;
            }
        }
    }

    void Serve(SOCKET accepted) {
        struct TCount {
            std::atomic<int>& N;
            ~TCount() { --N; }
        } open{FOpen};
        TSocket client(accepted);
        const TMode mode = FMode.load();
        std::shared_ptr<SSL_CTX> tls;
        std::string redirect;
        {
            std::lock_guard lock(FMutex);
            if (mode != TMode::Relay) tls = FTls;
            redirect = FRedirect;
        }
        TConn conn{client.S};
        struct TFree {
            TConn& C;
            ~TFree() {
                if (C.Tls) SSL_free(C.Tls);
            }
        } freeTls{conn};
        // A client that rejects the certificate ends it here.
        if (tls && !Handshake(conn, tls.get())) return;
        switch (mode) {
        case TMode::Relay:
            Relay(client.S);
            break;
        case TMode::ResetMidBody:
            if (ReadRequest(conn, 0.5)) {
                // A zero linger turns the close into a reset.
                const linger hard{1, 0};
                ::setsockopt(client.S, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                             sizeof hard);
            }
            break;
        case TMode::Garbage:
            if (ReadRequest(conn, 1.0)) {
                std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\n\r\n";
                std::mt19937 random(7);
                std::string noise(10 << 20, '\0');
                for (char& c : noise)
                    c = char(random());
                SendAll(conn, reply.data(), reply.size());
                SendAll(conn, noise.data(), noise.size());
            }
            break;
        case TMode::Silent: {
            char buf[1 << 16];
            while (Receive(conn, buf, sizeof buf) > 0) {
            }
            break;
        }
        case TMode::Redirect:
            if (ReadRequest(conn, 1.0)) {
                ++FRedirected;
                SendAll(conn, redirect.data(), redirect.size());
                if (conn.Tls) SSL_shutdown(conn.Tls);
            }
            break;
        }
    }

    void AcceptLoop() {
        while (!FStopping) {
            if (!Ready(FListener, false)) continue;
            const SOCKET s = ::accept(FListener, nullptr, nullptr);
            if (s == INVALID_SOCKET) continue;
            ++FAccepted;
            ++FOpen;
            FServing.emplace_back([this, s] { Serve(s); });
        }
    }

    std::atomic<std::uint16_t> FRelayPort;
    std::mutex FMutex; // FTls, FRedirect
    std::shared_ptr<SSL_CTX> FTls;
    std::string FRedirect;
    SOCKET FListener = INVALID_SOCKET;
    std::uint16_t FPort = 0;
    std::atomic<TMode> FMode = TMode::Relay;
    std::atomic<bool> FStopping = false;
    std::atomic<int> FAccepted = 0, FOpen = 0, FRedirected = 0;
    std::vector<std::thread> FServing; // touched by the accept thread only, then joined
    std::thread FAccept;
};
