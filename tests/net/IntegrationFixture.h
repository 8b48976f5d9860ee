#pragma once

// Client tests against the real reference server over loopback TLS: fake
// platform services for the log and the key store, the real libcurl client
// trusting the server's own CA (VELLOQ_CA_FILE) and a recorder in front of it.

#include "fakes/FakePlatform.h"
#include "keystore/APIKeyStore.h"
#include "RecordingHttp.h"
#include "ReferenceServer.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velloq::testing {

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
        APIKeyStore::saveAPIKey(ReferenceServer::key);
    }
    ~IntegrationFixture() override {
        ::unsetenv("VELLOQ_SERVICE_URL");
        ::unsetenv("VELLOQ_CA_FILE");
    }

    // A loopback port nobody listens on.
    static int closedPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        return ntohs(address.sin_port);
    }

    FakePlatform platform;
    ReferenceServer server;
    std::unique_ptr<platform::CurlHttp> curl;
    std::unique_ptr<RecordingHttp> http;
};

} // namespace velloq::testing
