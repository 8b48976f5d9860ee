#include "common/Expected.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

using velloq::Expected;
using velloq::Unexpected;

namespace {
enum class Failure { bad };

Expected<std::string, Failure> parse(bool ok) {
    if (!ok) {
        return Unexpected(Failure::bad);
    }
    return std::string("value");
}
} // namespace

TEST(Expected, HoldsEitherTheValueOrTheError) {
    auto good = parse(true);
    ASSERT_TRUE(good);
    EXPECT_EQ(good->size(), 5u);
    EXPECT_EQ(std::move(good).value(), "value");

    auto bad = parse(false);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error(), Failure::bad);
    EXPECT_EQ(bad.value_or("fallback"), "fallback");

    Expected<std::unique_ptr<int>, Failure> holder(std::make_unique<int>(7));
    const auto owned = std::move(holder).value(); // move-only values move out
    EXPECT_EQ(*owned, 7);
    Expected<void, Failure> failed = Unexpected(Failure::bad);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(), Failure::bad);
    EXPECT_TRUE((Expected<void, Failure>()));
}
