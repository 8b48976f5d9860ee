#pragma once

// What most client tests share: fake platform services, a stored API key, a
// known service base URL, and short ways to look into a failed result.

#include "fakes/FakePlatform.h"
#include "keystore/APIKeyStore.h"
#include "net/UploadError.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace velloq::testing {

inline constexpr const char* kTestBase = "https://service.test";
inline constexpr std::size_t MiB = 1 << 20;
inline const std::string kDash = " \xE2\x80\x94 ";

// Deterministic bytes that differ at every offset within a part.
inline std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    return bytes;
}

template <class T> UploadError uploadErrorOf(const NetResult<T>& result) {
    EXPECT_FALSE(result.has_value());
    EXPECT_TRUE(!result && std::holds_alternative<UploadError>(result.error()));
    return !result && std::holds_alternative<UploadError>(result.error())
               ? std::get<UploadError>(result.error())
               : UploadError{};
}

template <class T> platform::TransportErrorKind transportKindOf(const NetResult<T>& result) {
    EXPECT_FALSE(result.has_value());
    const auto* error = result ? nullptr : std::get_if<platform::TransportError>(&result.error());
    EXPECT_NE(error, nullptr);
    return error ? error->kind : platform::TransportErrorKind::other;
}

class NetFixture : public ::testing::Test {
protected:
    NetFixture() {
        ::setenv("VELLOQ_SERVICE_URL", kTestBase, 1);
        EXPECT_TRUE(APIKeyStore::saveAPIKey("sk-test"));
    }
    ~NetFixture() override { ::unsetenv("VELLOQ_SERVICE_URL"); }

    static void setBase(const std::string& base) {
        ::setenv("VELLOQ_SERVICE_URL", base.c_str(), 1);
    }

    FakePlatform platform;
};

} // namespace velloq::testing
