#pragma once

// Blocking HTTP(S) exchanges for the sharing-service client. A call waits for
// the whole response, so callers run it on a worker thread, never on the main
// one. Certificates are always verified and redirects are never followed: a
// 3xx comes back as the response it is.

#include "common/Expected.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::platform {

// Why an exchange produced no HTTP response at all. The first six kinds are
// the ones users are told apart; every other failure reads the same to them.
enum class TransportErrorKind {
    notConnectedToInternet, // no route to any network
    networkConnectionLost,  // the connection broke during the exchange
    timedOut,               // no progress within the idle limit, or past the total limit
    cannotConnectToHost,    // the host refused or did not answer the connection
    cannotFindHost,         // the host name does not resolve
    dnsLookupFailed,        // the resolver itself failed (e.g. the proxy's name)
    secureConnectionFailed, // TLS handshake failed or the certificate is not trusted
    cancelled,              // the caller's cancel flag was raised
    badURL,                 // not an http or https URL the client can use
    other,
};

struct TransportError {
    TransportErrorKind kind = TransportErrorKind::other;
    std::string description; // the client's own words, for the log
};

struct HttpHeader {
    std::string name;
    std::string value;
};

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    std::vector<HttpHeader> headers; // sent as given; no Content-Type is added
    // Sent as the request body when set (an empty view sends an empty body).
    // The bytes must stay alive until send() returns.
    std::optional<std::string_view> body;
    // The exchange fails with timedOut when no byte moves in either direction
    // for this long, connecting included.
    std::chrono::milliseconds idleTimeout{60'000};
    // Limit on the whole exchange, if any.
    std::optional<std::chrono::milliseconds> totalTimeout;
    // Response body bytes kept; the rest is not read (see HttpResponse::bodyTruncated).
    std::size_t maxResponseBytes = 1 << 20;
    // Raised from another thread, ends the exchange with `cancelled` soon after.
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpResponse {
    int status = 0;
    std::vector<HttpHeader> headers; // of the final response, in arrival order
    std::string body;
    bool bodyTruncated = false; // the body was longer than maxResponseBytes

    // The first header of that name (compared case-insensitively).
    std::optional<std::string_view> header(std::string_view name) const {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        for (const auto& h : headers) {
            if (h.name.size() == name.size() &&
                std::equal(h.name.begin(), h.name.end(), name.begin(),
                           [&](char a, char b) { return lower(a) == lower(b); })) {
                return std::string_view(h.value);
            }
        }
        return std::nullopt;
    }
};

class Http {
public:
    virtual ~Http() = default;
    // Safe to call from several threads at once; each call is independent
    // (no cookies, cache or credentials carry over), though a connection to
    // the same server may be used again by a later call.
    virtual Expected<HttpResponse, TransportError> send(const HttpRequest& request) = 0;
};

} // namespace velloq::platform
