#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace velloq::testing {

// For tests that replace the real API-key item: they run only against a
// private keyring that the test script started (VELLOQ_TEST_KEYRING=private).
class PrivateKeyringTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* keyring = std::getenv("VELLOQ_TEST_KEYRING");
        if (keyring == nullptr || std::string(keyring) != "private") {
            GTEST_SKIP() << "needs a private Secret Service (VELLOQ_TEST_KEYRING=private)";
        }
    }
};

} // namespace velloq::testing
