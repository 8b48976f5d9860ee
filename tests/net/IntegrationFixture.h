#pragma once

// Client tests against the real reference server, a child process on an
// ephemeral loopback port with a private data directory and its own CA. The
// real libcurl client trusts that CA (VELLOQ_CA_FILE), and a recorder in front
// of it notes every exchange so tests can count them.

#include "NetFixture.h"
#include "platform/curl/CurlHttp.h"
#include "support/ReferenceServer.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace velloq::testing {

class RecordingHttp final : public platform::Http {
public:
    explicit RecordingHttp(platform::Http& inner) : inner_(inner) {}

    Expected<platform::HttpResponse, platform::TransportError>
    send(const platform::HttpRequest& request) override {
        {
            std::lock_guard lock(mutex_);
            exchanges_.emplace_back(request.method, request.url);
        }
        return inner_.send(request);
    }
    // Exchanges of this method whose URL contains `urlPart`; "" matches any.
    std::size_t count(const std::string& method = "", const std::string& urlPart = "") const {
        std::lock_guard lock(mutex_);
        return static_cast<std::size_t>(
            std::count_if(exchanges_.begin(), exchanges_.end(), [&](const auto& e) {
                return (method.empty() || e.first == method) &&
                       e.second.find(urlPart) != std::string::npos;
            }));
    }

private:
    platform::Http& inner_;
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::string>> exchanges_; // method, URL
};

class IntegrationFixture : public ::testing::Test {
protected:
    explicit IntegrationFixture(ReferenceServer::Options options = {})
        : server(std::move(options)) {
        ::setenv("VELLOQ_SERVICE_URL", server.baseURL().c_str(), 1);
        if (!server.caFile().empty()) {
            ::setenv("VELLOQ_CA_FILE", server.caFile().c_str(), 1);
        }
        curl = std::make_unique<platform::CurlHttp>(platform::CurlHttp::extraCAFromEnvironment());
        http = std::make_unique<RecordingHttp>(*curl);
        EXPECT_TRUE(APIKeyStore::saveAPIKey(ReferenceServer::key));
    }
    ~IntegrationFixture() override {
        ::unsetenv("VELLOQ_SERVICE_URL");
        ::unsetenv("VELLOQ_CA_FILE");
    }

    // Points the client at a loopback port nobody listens on.
    static void useClosedPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        const auto base = "https://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        ::setenv("VELLOQ_SERVICE_URL", base.c_str(), 1);
    }

    FakePlatform platform;
    ReferenceServer server;
    std::unique_ptr<platform::CurlHttp> curl;
    std::unique_ptr<RecordingHttp> http;
};

} // namespace velloq::testing
