#pragma once

// Certificates trusted on top of the system's store. libcurl's CA options
// replace the default bundle, so these are added to each connection's
// OpenSSL store instead, keeping the system's authorities as they are.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

typedef struct x509_st X509;
typedef struct ssl_ctx_st SSL_CTX;

namespace velloq::platform {

class ExtraCertificates {
public:
    ExtraCertificates() = default;
    // Reads every certificate in a PEM file; `error` tells why none could be read.
    static ExtraCertificates load(const std::filesystem::path& pem, std::string& error);

    bool empty() const { return certificates_.empty(); }
    // Adds the certificates to the trust store of `context`; safe from any thread.
    bool addTo(SSL_CTX* context) const;

private:
    std::vector<std::shared_ptr<X509>> certificates_;
};

} // namespace velloq::platform
