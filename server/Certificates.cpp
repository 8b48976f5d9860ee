#include "server/Certificates.h"

#include "server/Files.h"

#include <memory>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <string>

namespace velloq::server {
namespace {

struct Freer {
    void operator()(X509* p) const { X509_free(p); }
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
};
using CertPtr = std::unique_ptr<X509, Freer>;
using KeyPtr = std::unique_ptr<EVP_PKEY, Freer>;
using BioPtr = std::unique_ptr<BIO, Freer>;

constexpr long kDay = 24L * 60 * 60;
constexpr long kCaLifetime = 10L * 365 * kDay;
constexpr long kServerLifetime = 397L * kDay;

KeyPtr newKey() {
    return KeyPtr(EVP_EC_gen("P-256"));
}

bool addExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, Freer> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
    return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

bool setRandomSerial(X509* cert) {
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1) {
        return false;
    }
    bytes[0] &= 0x7f; // serials are positive
    std::unique_ptr<BIGNUM, Freer> bn(BN_bin2bn(bytes, sizeof bytes, nullptr));
    return bn && BN_to_ASN1_INTEGER(bn.get(), X509_get_serialNumber(cert)) != nullptr;
}

// Issues a certificate for `key`; a null `issuer` makes it self-signed.
CertPtr issue(EVP_PKEY* key, const char* commonName, long lifetime, X509* issuer,
              EVP_PKEY* issuerKey, bool isCa) {
    CertPtr cert(X509_new());
    if (!cert || X509_set_version(cert.get(), 2) != 1 || !setRandomSerial(cert.get())) {
        return nullptr;
    }
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60L * 60);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), lifetime);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Velloq"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* signer = issuer ? issuer : cert.get();
    X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
    bool ok = addExtension(cert.get(), signer, NID_subject_key_identifier, "hash") &&
              addExtension(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
    if (isCa) {
        ok =
            ok &&
            addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE,pathlen:0") &&
            addExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        ok = ok && addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE") &&
             addExtension(cert.get(), signer, NID_key_usage, "critical,digitalSignature") &&
             addExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth") &&
             addExtension(cert.get(), signer, NID_subject_alt_name,
                          "DNS:localhost,IP:127.0.0.1,IP:::1");
    }
    if (!ok || X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256()) <= 0) {
        return nullptr;
    }
    return cert;
}

std::string pemOf(X509* cert) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    PEM_write_bio_X509(bio.get(), cert);
    char* data = nullptr;
    long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

std::string pemOf(EVP_PKEY* key) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

CertPtr readCert(const std::filesystem::path& path) {
    BioPtr bio(BIO_new_file(path.c_str(), "r"));
    return CertPtr(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
}

KeyPtr readKey(const std::filesystem::path& path) {
    BioPtr bio(BIO_new_file(path.c_str(), "r"));
    return KeyPtr(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
}

// Valid for at least another day, and matching its key (and its issuer, if given).
bool usable(X509* cert, EVP_PKEY* key, X509* issuer) {
    if (!cert || !key || X509_check_private_key(cert, key) != 1) {
        return false;
    }
    time_t soon = time(nullptr) + kDay;
    if (X509_cmp_time(X509_get0_notAfter(cert), &soon) <= 0 ||
        X509_cmp_current_time(X509_get0_notBefore(cert)) > 0) {
        return false;
    }
    return !issuer || X509_verify(cert, X509_get0_pubkey(issuer)) == 1;
}

} // namespace

Expected<LocalTls, Error> ensureLocalTls(const std::filesystem::path& tlsDir) {
    LocalTls files{tlsDir / "ca.pem", tlsDir / "server.pem", tlsDir / "server-key.pem"};
    const auto caKeyPath = tlsDir / "ca-key.pem";

    CertPtr ca = readCert(files.caCert);
    KeyPtr caKey = readKey(caKeyPath);
    if (!usable(ca.get(), caKey.get(), nullptr)) {
        caKey = newKey();
        ca = caKey ? issue(caKey.get(), "Velloq local sharing service CA", kCaLifetime, nullptr,
                           nullptr, true)
                   : nullptr;
        if (!ca) {
            return fail("cannot create a certificate authority");
        }
        // Key first: a CA certificate on disk must always have its key beside it.
        auto wrote = writeFileAtomically(caKeyPath, pemOf(caKey.get()), 0600);
        if (wrote) {
            wrote = writeFileAtomically(files.caCert, pemOf(ca.get()), 0644);
        }
        if (!wrote) {
            return Unexpected(wrote.error());
        }
    }

    CertPtr server = readCert(files.serverCert);
    KeyPtr serverKey = readKey(files.serverKey);
    if (!usable(server.get(), serverKey.get(), ca.get())) {
        serverKey = newKey();
        server = serverKey ? issue(serverKey.get(), "localhost", kServerLifetime, ca.get(),
                                   caKey.get(), false)
                           : nullptr;
        if (!server) {
            return fail("cannot create a server certificate");
        }
        auto wrote = writeFileAtomically(files.serverKey, pemOf(serverKey.get()), 0600);
        if (wrote) {
            wrote =
                writeFileAtomically(files.serverCert, pemOf(server.get()) + pemOf(ca.get()), 0644);
        }
        if (!wrote) {
            return Unexpected(wrote.error());
        }
    }
    return files;
}

} // namespace velloq::server
