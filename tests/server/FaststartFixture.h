#pragma once

// Publishing videos through the upload protocol, and waiting for the server's
// own account of their browser copies.

#include "ServerFixture.h"

#include <chrono>
#include <thread>

namespace velloq::server::test {

class FaststartFixture : public ServerFixture {
protected:
    // Uploads `video` in two parts; the viewUrl.
    std::string publish(const std::string& video) {
        const std::string id = startVideo();
        const std::size_t half = video.size() / 2;
        const std::string e1 = putPart(id, 1, video.substr(0, half));
        const std::string e2 = putPart(id, 2, video.substr(half));
        HttpResponse done =
            complete(id, {{{"partNumber", 1}, {"etag", e1}}, {{"partNumber", 2}, {"etag", e2}}},
                     video.size());
        EXPECT_EQ(done.status, 200) << done.body;
        return done.status == 200 ? nlohmann::json::parse(done.body)["viewUrl"].get<std::string>()
                                  : "";
    }

    // Waits, boundedly, for the worker to log its verdict on the video.
    bool logged(const std::string& text) {
        for (int i = 0; i < 600; ++i) {
            for (const auto& line : logLines()) {
                if (line.find(text) != std::string::npos) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    HttpResponse get(const std::string& url, const std::string& range = {}) {
        HttpRequest req = request("GET", url, nullptr);
        if (!range.empty()) {
            req.headers.push_back("Range: " + range);
        }
        return send(req);
    }
};

} // namespace velloq::server::test
