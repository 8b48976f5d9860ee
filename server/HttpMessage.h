#pragma once

// A request as the routes see it once its head has been read, and the answer
// they build. The connection reads the body on demand and writes the answer.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velloq::server {

using Fields = std::vector<std::pair<std::string, std::string>>;

struct Request {
    std::string method;
    std::string target; // as sent: path and query
    std::string path;
    std::string remoteAddr;
    Fields headers;
    Fields params;                    // query parameters, decoded
    std::vector<std::string> matches; // captures of the route pattern, whole match first
    bool hasBody = false;             // a Content-Length or chunked body follows the head
    std::optional<std::uint64_t> contentLength;
    bool expectsContinue = false;

    std::size_t headerCount(std::string_view name) const;
    bool hasHeader(std::string_view name) const { return headerCount(name) > 0; }
    // The first value of the header, or empty.
    std::string header(std::string_view name) const;
    std::string param(std::string_view name) const;
};

// Fills `out` with up to `size` bytes starting at `offset`; 0 means the source failed.
using BodyProvider = std::function<std::size_t(std::uint64_t offset, char* out, std::size_t size)>;

struct Response {
    int status = 200;
    Fields headers;
    std::string contentType;
    std::string body;
    BodyProvider provider; // streams `providerLength` bytes instead of `body`
    std::uint64_t providerLength = 0;
    std::optional<std::uint64_t> cutAfter; // drop the connection after this many body bytes
    bool close = false;                    // close the connection after answering

    void setHeader(std::string_view name, std::string value);
    void eraseHeader(std::string_view name);
    std::string header(std::string_view name) const;
    void setContent(std::string content, std::string type);
    std::uint64_t bodySize() const { return provider ? providerLength : body.size(); }
};

// Receives the body as it arrives; returning false stops reading.
using ContentReceiver = std::function<bool(const char* data, std::size_t size)>;

// The request body, read as the route asks for it.
class BodyReader {
public:
    virtual ~BodyReader() = default;
    // Passes the whole body to `receiver`; false when it ended early, timed out
    // or `receiver` stopped it.
    virtual bool read(const ContentReceiver& receiver) = 0;
    // True once every byte of the body has been read.
    virtual bool finished() const = 0;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b);
// Splits "a=1&b=%2F" into decoded pairs; malformed escapes are kept as they are.
Fields parseQuery(std::string_view query);

} // namespace velloq::server
