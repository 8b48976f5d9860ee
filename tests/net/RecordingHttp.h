#pragma once

// Passes requests to a real HTTP service and notes what went out and what
// came back, so integration tests can count and inspect exchanges.

#include "platform/Http.h"

#include <mutex>
#include <string>
#include <vector>

namespace velloq::testing {

class RecordingHttp final : public platform::Http {
public:
    struct Exchange {
        std::string method;
        std::string url;
        std::string body;
        int status; // 0 when the transport failed
    };

    explicit RecordingHttp(platform::Http& inner) : inner_(inner) {}

    Expected<platform::HttpResponse, platform::TransportError>
    send(const platform::HttpRequest& request) override {
        auto response = inner_.send(request);
        std::lock_guard lock(mutex_);
        exchanges_.push_back({request.method, request.url,
                              std::string(request.body.value_or(std::string_view{})),
                              response ? response->status : 0});
        return response;
    }

    std::vector<Exchange> exchanges() const {
        std::lock_guard lock(mutex_);
        return exchanges_;
    }
    std::size_t count(const std::string& method, const std::string& urlPart) const {
        std::size_t n = 0;
        for (const auto& e : exchanges()) {
            n += e.method == method && e.url.find(urlPart) != std::string::npos ? 1 : 0;
        }
        return n;
    }

private:
    platform::Http& inner_;
    mutable std::mutex mutex_;
    std::vector<Exchange> exchanges_;
};

} // namespace velloq::testing
