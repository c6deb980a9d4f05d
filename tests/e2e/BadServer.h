#pragma once
// A loopback HTTP server for the upload faults: it relays each connection to
// the real service, or breaks it the way a failing server does. Include it
// before <windows.h>: winsock2 must come first.
#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
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
    int Accepted() const { return FAccepted; }
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

    // Bytes received, 0 once the peer is gone or the server stops.
    int Receive(SOCKET s, char* buf, int size) {
        while (!FStopping)
            if (Ready(s, false)) return std::max(::recv(s, buf, size, 0), 0);
        return 0;
    }

    bool SendAll(SOCKET s, const char* data, std::size_t size) {
        while (size > 0 && !FStopping) {
            if (!Ready(s, true)) continue;
            const int n = ::send(s, data, int(std::min<std::size_t>(size, 1 << 16)), 0);
            if (n <= 0) return false;
            data += n;
            size -= std::size_t(n);
        }
        return size == 0;
    }

    // Reads the headers and at least `share` of the body the client announced.
    bool ReadRequest(SOCKET s, double share) {
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
        const sockaddr_in at = Loopback(FRelayPort);
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
        switch (FMode.load()) {
        case TMode::Relay:
            Relay(client.S);
            break;
        case TMode::ResetMidBody:
            if (ReadRequest(client.S, 0.5)) {
                // A zero linger turns the close into a reset.
                const linger hard{1, 0};
                ::setsockopt(client.S, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                             sizeof hard);
            }
            break;
        case TMode::Garbage:
            if (ReadRequest(client.S, 1.0)) {
                std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\n\r\n";
                std::mt19937 random(7);
                std::string noise(10 << 20, '\0');
                for (char& c : noise)
                    c = char(random());
                SendAll(client.S, reply.data(), reply.size());
                SendAll(client.S, noise.data(), noise.size());
            }
            break;
        case TMode::Silent: {
            char buf[1 << 16];
            while (Receive(client.S, buf, sizeof buf) > 0) {
            }
            break;
        }
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

    const std::uint16_t FRelayPort;
    SOCKET FListener = INVALID_SOCKET;
    std::uint16_t FPort = 0;
    std::atomic<TMode> FMode = TMode::Relay;
    std::atomic<bool> FStopping = false;
    std::atomic<int> FAccepted = 0, FOpen = 0;
    std::vector<std::thread> FServing; // touched by the accept thread only, then joined
    std::thread FAccept;
};
