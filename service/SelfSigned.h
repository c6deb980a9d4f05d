#pragma once
// A self-signed certificate for running the service on this machine: valid
// for 127.0.0.1, ::1 and localhost, made once with OpenSSL and kept in the
// data folder so a client that was told to trust it keeps trusting it.
#include <filesystem>

struct TTlsFiles {
    std::filesystem::path Cert, Key;
};

// "cert.pem" and "key.pem" in folder, generated when either is missing.
TTlsFiles EnsureLoopbackCertificate(const std::filesystem::path& folder);
