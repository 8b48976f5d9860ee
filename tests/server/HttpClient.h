#pragma once

// A minimal libcurl client for the server tests: verified TLS against the
// server's CA, and request bodies that can be generated on the fly so large
// uploads cost the test no memory.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velloq::server::test {

struct HttpResponse {
    int curlCode = 0; // CURLE_OK when a complete response arrived
    long status = 0;
    std::string body;
    std::map<std::string, std::string> headers; // names in lower case
    std::uint64_t bytesSent = 0;                // request body bytes curl pulled

    std::string header(const std::string& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

// Fills `out` with up to `size` bytes of the body starting at `offset`; returns the count.
using BodySource = std::function<std::size_t(std::uint64_t offset, char* out, std::size_t size)>;

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    std::vector<std::string> headers; // "Name: value"
    std::optional<std::string> body;
    BodySource source;                       // used instead of `body` when set
    std::optional<std::uint64_t> sourceSize; // unset: chunked transfer
    std::string caFile;
    // Receives the response body instead of HttpResponse::body when set.
    std::function<void(const char* data, std::size_t size)> sink;
};

HttpResponse send(const HttpRequest& request);

} // namespace velloq::server::test
