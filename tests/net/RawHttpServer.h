#pragma once

// A bare plain-HTTP server on a loopback port for wire-level tests of the
// HTTP layer: it records each request's raw bytes and lets the test write
// whatever answer it likes, well-formed or not.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velloq::testing {

class RawHttpServer {
public:
    // Writes the answer to `fd` (the connection is closed afterwards).
    using Responder = std::function<void(int fd, const std::string& request)>;

    explicit RawHttpServer(Responder responder);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    std::string url(const std::string& path) const;
    std::vector<std::string> requests() const;

    static void write(int fd, const std::string& bytes); // best effort
    // A complete response with Content-Length.
    static std::string response(const std::string& statusLine, const std::string& headers,
                                const std::string& body);

private:
    void serve();

    int listener_ = -1;
    int port_ = 0;
    Responder responder_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace velloq::testing
