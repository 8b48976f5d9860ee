#pragma once

// The HTTP service on libcurl. Transfers are pooled so that connections to a
// server are used again across calls (one TLS handshake per connection, not
// per request); nothing else (cookies, cache, credentials) outlives a call.

#include "platform/curl/EasyHandlePool.h"
#include "platform/curl/ExtraCertificates.h"
#include "platform/Http.h"

#include <atomic>
#include <filesystem>
#include <optional>

namespace velloq::platform {

class CurlHttp final : public Http {
public:
    // `extraCA`: a PEM file whose certificates are trusted in addition to the
    // system's store. An unreadable file is logged and adds nothing.
    explicit CurlHttp(const std::optional<std::filesystem::path>& extraCA = std::nullopt);
    // The extra CA named by VELLOQ_CA_FILE, if set.
    static std::optional<std::filesystem::path> extraCAFromEnvironment();

    Expected<HttpResponse, TransportError> send(const HttpRequest& request) override;

    // Ends every exchange in flight with `cancelled` and refuses new ones; for
    // shutting down without waiting out the timeouts.
    void close() {
        closing_ = true;
        pool_.clear();
    }

private:
    ExtraCertificates extraCertificates_;
    std::atomic<bool> closing_{false};
    EasyHandlePool pool_;
};

} // namespace velloq::platform
