#include "platform/curl/ExtraCertificates.h"

#include <cstdio>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace velloq::platform {

ExtraCertificates ExtraCertificates::load(const std::filesystem::path& pem, std::string& error) {
    ExtraCertificates result;
    std::unique_ptr<BIO, decltype(&BIO_free)> file(BIO_new_file(pem.c_str(), "r"), &BIO_free);
    if (!file) {
        error = "cannot open " + pem.string();
        ERR_clear_error();
        return result;
    }
    while (X509* certificate = PEM_read_bio_X509(file.get(), nullptr, nullptr, nullptr)) {
        result.certificates_.emplace_back(certificate, &X509_free);
    }
    // Reading stops with an "end of file" error after the last certificate.
    ERR_clear_error();
    if (result.certificates_.empty()) {
        error = "no PEM certificate in " + pem.string();
    }
    return result;
}

bool ExtraCertificates::addTo(SSL_CTX* context) const {
    X509_STORE* store = SSL_CTX_get_cert_store(context);
    if (store == nullptr) {
        return false;
    }
    for (const auto& certificate : certificates_) {
        // A certificate already in the store is accepted again without harm.
        if (X509_STORE_add_cert(store, certificate.get()) != 1) {
            ERR_clear_error();
            return false;
        }
    }
    return true;
}

} // namespace velloq::platform
