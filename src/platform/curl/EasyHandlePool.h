#pragma once

// libcurl transfers kept between exchanges. A transfer keeps its open
// connections (and TLS sessions), so the next request to the same server
// skips the TCP and TLS handshakes instead of paying them on every call.

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

typedef void CURL;

namespace velloq::platform {

struct EasyCleanup {
    void operator()(CURL* handle) const;
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;

class EasyHandlePool {
public:
    // More idle transfers than this are closed rather than kept.
    static constexpr std::size_t maxIdle = 8;

    // An idle transfer with every option back at its default (its connections
    // stay), or a new one; null when libcurl cannot make one.
    EasyHandle acquire();
    // Keeps a transfer whose exchange ended cleanly for the next caller.
    void release(EasyHandle handle);
    // Closes every idle transfer and its connections.
    void clear();

private:
    std::mutex mutex_;
    std::vector<EasyHandle> idle_;
};

} // namespace velloq::platform
