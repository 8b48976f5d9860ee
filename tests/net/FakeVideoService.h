#pragma once

// A scripted video service for FakeHttp: answers start, sign-part (a fresh
// address each time), the part PUT, complete and abort like the real one,
// remembers what it got, and lets a test replace the answer to any request.

#include "fakes/FakeHttp.h"

#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace velloq::testing {

class FakeVideoService {
public:
    // Returns an answer to use instead of the normal one, or nothing.
    using Override = std::function<std::optional<FakeHttp::Answer>(const platform::HttpRequest&)>;

    explicit FakeVideoService(FakeHttp& http) {
        http.setHandler([this](const platform::HttpRequest& request) { return handle(request); });
    }

    void setOverride(Override override) {
        std::lock_guard lock(mutex_);
        override_ = std::move(override);
    }
    // Part number → bytes of the last PUT that succeeded for it.
    std::map<long, std::string> parts() const {
        std::lock_guard lock(mutex_);
        return parts_;
    }
    std::optional<nlohmann::json> completed() const {
        std::lock_guard lock(mutex_);
        return completed_;
    }

    static long partNumberOf(const std::string& url) {
        const auto at = url.find("/parts/");
        return at == std::string::npos ? -1 : std::stol(url.substr(at + 7));
    }

private:
    FakeHttp::Answer handle(const platform::HttpRequest& request) {
        std::unique_lock lock(mutex_);
        if (auto override = override_) {
            lock.unlock();
            if (auto answer = override(request)) {
                return *answer;
            }
            lock.lock();
        }
        const std::string& url = request.url;
        if (url.ends_with("/videos/start")) {
            return FakeHttp::respond(201, R"({"videoId":"v1"})");
        }
        if (url.ends_with("/sign-part")) {
            const auto part = nlohmann::json::parse(*request.body).at("partNumber").get<long>();
            const auto address = "https://store.test/parts/" + std::to_string(part) +
                                 "?grant=" + std::to_string(++grants_);
            return FakeHttp::respond(200, nlohmann::json{{"url", address}}.dump());
        }
        if (request.method == "PUT") {
            const long part = partNumberOf(url);
            parts_[part] = std::string(*request.body);
            return FakeHttp::respond(200, "", {{"ETag", "\"etag-" + std::to_string(part) + "\""}});
        }
        if (url.ends_with("/complete")) {
            completed_ = nlohmann::json::parse(*request.body);
            return FakeHttp::respond(200, R"({"viewUrl":"https://service.test/v/v1.mp4"})");
        }
        return FakeHttp::respond(url.ends_with("/abort") ? 204 : 404);
    }

    mutable std::mutex mutex_;
    Override override_;
    std::map<long, std::string> parts_;
    std::optional<nlohmann::json> completed_;
    int grants_ = 0;
};

} // namespace velloq::testing
