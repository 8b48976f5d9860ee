#pragma once

// What most client tests share: fake platform services, a stored API key and
// a known service base URL.

#include "fakes/FakePlatform.h"
#include "keystore/APIKeyStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace velloq::testing {

inline constexpr const char* kTestBase = "https://service.test";

class NetFixture : public ::testing::Test {
protected:
    NetFixture() {
        ::setenv("VELLOQ_SERVICE_URL", kTestBase, 1);
        APIKeyStore::saveAPIKey("sk-test");
    }
    ~NetFixture() override { ::unsetenv("VELLOQ_SERVICE_URL"); }

    static void setBase(const std::string& base) {
        ::setenv("VELLOQ_SERVICE_URL", base.c_str(), 1);
    }

    FakePlatform platform;
};

} // namespace velloq::testing
