#include "SelfSigned.h"

#include "ImageStore.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {
template <auto Free> struct TFreeWith {
    template <class T> void operator()(T* p) const { Free(p); }
};
template <class T, auto Free> using TOwned = std::unique_ptr<T, TFreeWith<Free>>;
using TKey = TOwned<EVP_PKEY, EVP_PKEY_free>;
using TCert = TOwned<X509, X509_free>;
using TBio = TOwned<BIO, BIO_free>;
using TBignum = TOwned<BIGNUM, BN_free>;
using TExtension = TOwned<X509_EXTENSION, X509_EXTENSION_free>;

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("certificate generation failed: ") + what);
}

void AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    TExtension ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
    Check(ext && X509_add_ext(cert, ext.get(), -1) == 1, value);
}

std::string Pem(auto write) {
    TBio bio(BIO_new(BIO_s_mem()));
    Check(bio && write(bio.get()) == 1, "PEM");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, std::size_t(size));
}
} // namespace

TTlsFiles EnsureLoopbackCertificate(const std::filesystem::path& folder) {
    TTlsFiles files{folder / "cert.pem", folder / "key.pem"};
    if (std::filesystem::exists(files.Cert) && std::filesystem::exists(files.Key)) return files;
    std::filesystem::create_directories(folder);

    TKey key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "key");
    TCert cert(X509_new());
    Check(cert && X509_set_version(cert.get(), X509_VERSION_3) == 1, "version");

    unsigned char serial[16];
    Check(RAND_bytes(serial, sizeof serial) == 1, "serial");
    serial[0] &= 0x7F; // positive, as RFC 5280 requires
    TBignum bn(BN_bin2bn(serial, sizeof serial, nullptr));
    Check(bn && BN_to_ASN1_INTEGER(bn.get(), X509_get_serialNumber(cert.get())), "serial");

    Check(X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60 * 60) &&
              X509_gmtime_adj(X509_getm_notAfter(cert.get()), 10L * 365 * 24 * 60 * 60),
          "validity");
    X509_NAME* name = X509_get_subject_name(cert.get());
    Check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char*>("Kadrix service"), -1,
                                     -1, 0) == 1,
          "name");
    Check(X509_set_issuer_name(cert.get(), name) == 1, "issuer");
    Check(X509_set_pubkey(cert.get(), key.get()) == 1, "public key");
    // It is its own trust anchor, so it must be allowed to sign itself.
    AddExtension(cert.get(), NID_basic_constraints, "critical,CA:TRUE,pathlen:0");
    AddExtension(cert.get(), NID_key_usage, "critical,digitalSignature,keyCertSign");
    AddExtension(cert.get(), NID_ext_key_usage, "serverAuth");
    AddExtension(cert.get(), NID_subject_key_identifier, "hash");
    AddExtension(cert.get(), NID_subject_alt_name, "IP:127.0.0.1,IP:::1,DNS:localhost");
    Check(X509_sign(cert.get(), key.get(), EVP_sha256()) > 0, "signature");

    WriteFileAtomically(files.Key, Pem([&](BIO* b) {
                            return PEM_write_bio_PrivateKey(b, key.get(), nullptr, nullptr, 0,
                                                            nullptr, nullptr);
                        }),
                        0600);
    WriteFileAtomically(files.Cert, Pem([&](BIO* b) { return PEM_write_bio_X509(b, cert.get()); }));
    return files;
}
