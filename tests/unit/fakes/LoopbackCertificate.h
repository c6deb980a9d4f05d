#pragma once
// A self-signed certificate for 127.0.0.1 made with the openssl command, for
// loopback TLS servers of the native tests; the folder goes with the object.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

struct TLoopbackCertificate {
    std::filesystem::path Dir;
    std::string Cert, Key; // PEM files
    bool Made = false;     // false: no openssl command here

    TLoopbackCertificate() {
        static int serial = 0;
        Dir = std::filesystem::temp_directory_path() /
              ("kadrix-tls-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(Dir);
        Cert = (Dir / "cert.pem").string();
        Key = (Dir / "key.pem").string();
        const std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 "
            "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
            Key + " -out " + Cert + " >/dev/null 2>&1";
        Made = std::system(command.c_str()) == 0;
    }
    ~TLoopbackCertificate() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    TLoopbackCertificate(const TLoopbackCertificate&) = delete;
    TLoopbackCertificate& operator=(const TLoopbackCertificate&) = delete;
};
