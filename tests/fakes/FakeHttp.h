#pragma once

// An HTTP service for unit tests: records every request and answers with
// whatever the test's handler says. Safe to call from several threads.

#include "platform/Http.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace velloq::testing {

class FakeHttp final : public platform::Http {
public:
    using Answer = Expected<platform::HttpResponse, platform::TransportError>;
    using Handler = std::function<Answer(const platform::HttpRequest&)>;

    // A copy of what was asked, kept after the request's own buffers are gone.
    struct Recorded {
        std::string method;
        std::string url;
        std::vector<platform::HttpHeader> headers;
        std::optional<std::string> body;
        std::chrono::milliseconds idleTimeout;
        std::optional<std::chrono::milliseconds> totalTimeout;
        bool cancellable;

        std::optional<std::string> header(std::string_view name) const;
    };

    Answer send(const platform::HttpRequest& request) override;

    // Runs on the calling thread, outside any lock. Without one every request gets a 404.
    void setHandler(Handler handler);
    std::vector<Recorded> requests() const;

    static Answer respond(int status, std::string body = {},
                          std::vector<platform::HttpHeader> headers = {});
    static Answer fail(platform::TransportErrorKind kind, std::string description = "failed");

private:
    mutable std::mutex mutex_;
    Handler handler_;
    std::vector<Recorded> requests_;
};

} // namespace velloq::testing
