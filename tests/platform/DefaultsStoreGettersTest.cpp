#include "fakes/FakeServices.h"

#include <gtest/gtest.h>

using velloq::testing::MemoryDefaultsStore;

TEST(DefaultsStoreGetters, StringReturnsOnlyStoredStrings) {
    MemoryDefaultsStore store;
    EXPECT_FALSE(store.string("k"));
    EXPECT_TRUE(store.set("k", "text"));
    EXPECT_EQ(store.string("k"), "text");
    EXPECT_TRUE(store.set("k", 720));
    EXPECT_FALSE(store.string("k"));
    EXPECT_TRUE(store.set("k", nullptr));
    EXPECT_FALSE(store.string("k"));
}

TEST(DefaultsStoreGetters, PlainBooleanReadsLikeThePlatformGetter) {
    MemoryDefaultsStore store;
    EXPECT_FALSE(store.boolean("k")) << "missing reads as false";
    const std::pair<nlohmann::json, bool> cases[] = {
        {true, true},
        {false, false},
        {1, true},
        {0, false},
        {0.5, true},
        {"true", true},
        {"YES", true},
        {"1", true},
        {"0", false},
        {"no", false},
        {"", false},
        {nullptr, false},
        {nlohmann::json::array({true}), false},
    };
    for (const auto& [stored, expected] : cases) {
        EXPECT_TRUE(store.set("k", stored));
        EXPECT_EQ(store.boolean("k"), expected) << stored.dump();
    }
}
