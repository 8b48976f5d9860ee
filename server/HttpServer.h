#pragma once

// The HTTP/1.1 transport: TLS, request heads read against a deadline and size
// limits, strict framing, and a bounded number of connections. An idle or slow
// connection costs only memory; handlers run on a pool of worker threads.

#include "server/Error.h"
#include "server/HttpMessage.h"
#include "server/Log.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace velloq::server {

struct HttpLimits {
    // TLS handshake plus the whole request head, and each idle keep-alive wait.
    std::chrono::milliseconds headDeadline{10'000};
    // Each read of a request body, and each write of an answer.
    std::chrono::milliseconds ioTimeout{30'000};
    std::size_t headerLimit = 16 * 1024;
    std::uint64_t bodyLimit = 0;
    std::size_t maxConnections = 2048;
    int workers = 32;
};

struct TlsFiles {
    std::filesystem::path cert;
    std::filesystem::path key;
};

// Runs for every request on a worker thread; fills in the response.
using RequestHandler = std::function<void(Request&, BodyReader&, Response&)>;

class HttpServer {
public:
    static Expected<std::unique_ptr<HttpServer>, Error> create(const std::string& host, int port,
                                                               const std::optional<TlsFiles>& tls,
                                                               const HttpLimits& limits,
                                                               RequestHandler handler, LogSink log);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const;
    // Serves until stop().
    void run();
    // Closes idle and slow connections at once, gives requests being handled
    // up to a second, then closes the rest. Safe from any thread, more than once.
    void stop();

    struct State;

private:
    explicit HttpServer(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace velloq::server
