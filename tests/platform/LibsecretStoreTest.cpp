#include "platform/secret/LibsecretStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using velloq::platform::LibsecretStore;
using velloq::platform::SecretItem;

namespace {

// These tests need a Secret Service on the session bus. CI provides one and
// sets VELLOQ_REQUIRE_SECRET_SERVICE so that a missing service fails loudly
// instead of skipping.
class LibsecretStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto probe = store.find(item);
        if (!probe) {
            if (std::getenv("VELLOQ_REQUIRE_SECRET_SERVICE") != nullptr) {
                FAIL() << "no Secret Service: " << probe.error().detail;
            }
            GTEST_SKIP() << "no Secret Service on the session bus";
        }
        ASSERT_TRUE(store.remove(item));
    }
    void TearDown() override { ignoreFailure(store.remove(item), "the case may have removed it"); }

    LibsecretStore store;
    // ctest runs cases in parallel against one keyring: each case gets its own item.
    SecretItem item{"dev.ordwin.velloq.test",
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                        "-" + std::to_string(::getpid())};
};

} // namespace

TEST_F(LibsecretStoreTest, StoresFindsAndRemovesExactBytes) {
    EXPECT_EQ(store.find(item).value(), std::nullopt);
    for (const std::string& secret :
         {std::string("k\xC3\xA9y with spaces "), std::string("\xFF\xFEraw", 5)}) {
        ASSERT_TRUE(store.add(item, secret));
        EXPECT_EQ(store.find(item).value(), secret) << "not even bytes that are not UTF-8 change";
        ASSERT_TRUE(store.remove(item));
        EXPECT_EQ(store.find(item).value(), std::nullopt);
    }
    EXPECT_TRUE(store.remove(item)) << "removing nothing is not an error";
}

TEST_F(LibsecretStoreTest, ItemsAreKeptApartByServiceAndAccount) {
    SecretItem other{item.service, item.account + "-other"};
    ASSERT_TRUE(store.add(item, "one"));
    ASSERT_TRUE(store.add(other, "two"));
    EXPECT_EQ(store.find(item).value(), "one");
    EXPECT_EQ(store.find(other).value(), "two");
    ignoreFailure(store.remove(other), "clean-up after the case");
}
