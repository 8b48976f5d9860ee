#pragma once

// A scripted video service for FakeHttp: answers start, sign-part, the part
// PUT, complete and abort like the real one, remembers every part it got, and
// lets a test replace the answer to any request.

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
    using Answer = FakeHttp::Answer;
    // Returns an answer to use instead of the normal one, or nothing.
    using Override = std::function<std::optional<Answer>(const platform::HttpRequest&)>;

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
    Answer handle(const platform::HttpRequest& request) {
        Override override;
        {
            std::lock_guard lock(mutex_);
            override = override_;
        }
        if (override) {
            if (auto answer = override(request)) {
                return *answer;
            }
        }
        const std::string& url = request.url;
        if (url.ends_with("/videos/start")) {
            return FakeHttp::respond(201, R"({"videoId":"v1"})");
        }
        if (url.ends_with("/sign-part")) {
            const auto part = nlohmann::json::parse(*request.body).at("partNumber").get<long>();
            std::lock_guard lock(mutex_);
            return FakeHttp::respond(
                200, nlohmann::json{{"url", "https://store.test/parts/" + std::to_string(part) +
                                                "?grant=" + std::to_string(++grants_)}}
                         .dump());
        }
        if (request.method == "PUT") {
            const long part = partNumberOf(url);
            std::lock_guard lock(mutex_);
            parts_[part] = std::string(*request.body);
            return FakeHttp::respond(200, "", {{"ETag", "\"etag-" + std::to_string(part) + "\""}});
        }
        if (url.ends_with("/complete")) {
            std::lock_guard lock(mutex_);
            completed_ = nlohmann::json::parse(*request.body);
            return FakeHttp::respond(200, R"({"viewUrl":"https://service.test/v/v1.mp4"})");
        }
        if (url.ends_with("/abort")) {
            return FakeHttp::respond(204);
        }
        return FakeHttp::respond(404);
    }

    mutable std::mutex mutex_;
    Override override_;
    std::map<long, std::string> parts_;
    std::optional<nlohmann::json> completed_;
    int grants_ = 0;
};

} // namespace velloq::testing
