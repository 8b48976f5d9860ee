#pragma once

// A private certificate authority and a server certificate for loopback
// names, made with OpenSSL in the data directory when the operator supplies
// no certificate. Clients trust the CA file explicitly; nothing is installed
// system-wide. Existing files are reused while they are valid, so a client
// that trusts the CA keeps working across restarts.

#include "server/Error.h"

#include <filesystem>

namespace velloq::server {

struct LocalTls {
    std::filesystem::path caCert;     // give this to clients
    std::filesystem::path serverCert; // server certificate followed by the CA
    std::filesystem::path serverKey;  // mode 0600
};

Expected<LocalTls, Error> ensureLocalTls(const std::filesystem::path& tlsDir);

} // namespace velloq::server
