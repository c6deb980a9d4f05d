#pragma once
// Certificates made by the driver itself with the OpenSSL that Kadrix links:
// a test certificate authority, trusted in the prefix's current-user Root
// store as a user would trust one, and server certificates for the bad
// servers of the TLS tests: signed by it and good, signed by it but expired,
// signed by it for another host, or signed by nobody anyone trusts.
// <wincrypt.h> names some OpenSSL types as macros: none may stand here.
#undef X509_NAME
#undef X509_EXTENSIONS
#undef PKCS7_SIGNER_INFO
#undef OCSP_REQUEST
#undef OCSP_RESPONSE
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TTestPki {
public:
    using TContext = std::shared_ptr<SSL_CTX>;

    TTestPki()
        : FCaKey(NewKey()),
          FCa(Make(FCaKey.get(), "Kadrix test CA", nullptr, -60, Day, nullptr, nullptr)) {}

    // The authority's certificate (DER), for the Root store.
    std::vector<std::uint8_t> CaDer() const {
        unsigned char* der = nullptr;
        const int size = i2d_X509(FCa.get(), &der);
        if (size <= 0) throw std::runtime_error("i2d_X509");
        std::vector<std::uint8_t> bytes(der, der + size);
        OPENSSL_free(der);
        return bytes;
    }

    // A server presenting a certificate for san ("IP:127.0.0.1",
    // "DNS:other.example"), valid from `from` to `to` seconds from now,
    // signed by the test authority or, with untrusted, by a key of its own.
    TContext Server(const char* san, long from, long to, bool untrusted = false) const {
        const TKey key(NewKey());
        TKey otherCaKey(nullptr, EVP_PKEY_free);
        TX509 otherCa(nullptr, X509_free);
        if (untrusted) {
            otherCaKey = NewKey();
            otherCa = Make(otherCaKey.get(), "Nobody's CA", nullptr, -60, Day, nullptr, nullptr);
        }
        X509* issuer = untrusted ? otherCa.get() : FCa.get();
        EVP_PKEY* issuerKey = untrusted ? otherCaKey.get() : FCaKey.get();
        const std::string host = std::string(san).substr(std::string(san).find(':') + 1);
        const TX509 leaf = Make(key.get(), host.c_str(), san, from, to, issuer, issuerKey);
        TContext ctx(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
        if (!ctx || SSL_CTX_use_certificate(ctx.get(), leaf.get()) != 1 ||
            SSL_CTX_use_PrivateKey(ctx.get(), key.get()) != 1 ||
            SSL_CTX_add1_chain_cert(ctx.get(), issuer) != 1)
            throw std::runtime_error("server context");
        return ctx;
    }

    static constexpr long Day = 24 * 3600;

private:
    using TKey = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
    using TX509 = std::unique_ptr<X509, decltype(&X509_free)>;

    static TKey NewKey() {
        TKey key(EVP_EC_gen("P-256"), EVP_PKEY_free);
        if (!key) throw std::runtime_error("EVP_EC_gen");
        return key;
    }

    static void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
        X509V3_CTX ctx;
        X509V3_set_ctx_nodb(&ctx);
        X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
        X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
        if (!ext || X509_add_ext(cert, ext, -1) != 1) throw std::runtime_error("extension");
        X509_EXTENSION_free(ext);
    }

    // A CA certificate when san is null (self-signed when issuer is null),
    // else a server certificate.
    static TX509 Make(EVP_PKEY* key, const char* cn, const char* san, long from, long to,
                      X509* issuer, EVP_PKEY* issuerKey) {
        static long serial = 1000;
        TX509 cert(X509_new(), X509_free);
        X509_set_version(cert.get(), 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), ++serial);
        X509_gmtime_adj(X509_getm_notBefore(cert.get()), from);
        X509_gmtime_adj(X509_getm_notAfter(cert.get()), to);
        X509_set_pubkey(cert.get(), key);
        X509_NAME* name = X509_get_subject_name(cert.get());
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>(cn), -1, -1, 0);
        X509* signer = issuer ? issuer : cert.get();
        X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
        AddExtension(cert.get(), signer, NID_subject_key_identifier, "hash");
        if (san) {
            AddExtension(cert.get(), signer, NID_basic_constraints, "CA:FALSE");
            AddExtension(cert.get(), signer, NID_subject_alt_name, san);
            AddExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
            AddExtension(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
        } else {
            AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
            AddExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
        }
        if (X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256()) <= 0)
            throw std::runtime_error("X509_sign");
        return cert;
    }

    TKey FCaKey;
    TX509 FCa;
};

#include <windows.h>

#include <wincrypt.h>

// Trusts a certificate (DER) as a user would: in the current user's roots.
inline bool TrustInRootStore(const std::vector<std::uint8_t>& der) {
    HCERTSTORE store =
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!store) return false;
    const BOOL added =
        ::CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), DWORD(der.size()),
                                           CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    ::CertCloseStore(store, 0);
    return added;
}
