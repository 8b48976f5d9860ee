#include "keystore/APIKeyStore.h"

#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using velloq::APIKeyEdit;
using velloq::APIKeyStore;
using velloq::applyAPIKeyEdit;
using velloq::platform::SecretError;

namespace {

class APIKeyStoreTest : public ::testing::Test {
protected:
    velloq::testing::FakePlatform platform;
    velloq::testing::FakeSecretStore& secrets = platform.secrets;
};

} // namespace

// The item's name is where earlier versions left the key: it must not move.
TEST_F(APIKeyStoreTest, SavingTwiceLeavesOneFixedItemWithTheSecondValue) {
    EXPECT_TRUE(APIKeyStore::saveAPIKey("first"));
    EXPECT_TRUE(APIKeyStore::saveAPIKey("second"));
    ASSERT_EQ(secrets.entries.size(), 1u);
    EXPECT_EQ(secrets.entries[0].item.service, "dev.ordwin.velloq");
    EXPECT_EQ(secrets.entries[0].item.account, "apiKey");
    EXPECT_EQ(secrets.entries[0].secret, "second");
    EXPECT_EQ(APIKeyStore::loadAPIKey(), "second");
}

TEST_F(APIKeyStoreTest, DeleteThenLoadGivesNone) {
    EXPECT_TRUE(APIKeyStore::saveAPIKey("key"));
    EXPECT_TRUE(APIKeyStore::deleteAPIKey());
    EXPECT_EQ(APIKeyStore::loadAPIKey(), std::nullopt);
    EXPECT_TRUE(APIKeyStore::deleteAPIKey()); // nothing to delete is fine
    EXPECT_TRUE(platform.log.lines().empty());
}

TEST_F(APIKeyStoreTest, LoadGivesNoneForBytesThatAreNotUtf8) {
    secrets.entries.push_back({{"dev.ordwin.velloq", "apiKey"}, std::string("\xFF\xFE", 2)});
    EXPECT_EQ(APIKeyStore::loadAPIKey(), std::nullopt);
}

// Which characters count as space is Utf8Test's; here, that the edit trims at all.
TEST_F(APIKeyStoreTest, EditTrimsBeforeSavingAndDeletesWhenNothingIsLeft) {
    EXPECT_EQ(applyAPIKeyEdit("  sk-live-123 \n").value(), APIKeyEdit::saved);
    EXPECT_EQ(APIKeyStore::loadAPIKey(), "sk-live-123");

    EXPECT_EQ(applyAPIKeyEdit(" \n\t ").value(), APIKeyEdit::deleted);
    EXPECT_EQ(APIKeyStore::loadAPIKey(), std::nullopt);
    EXPECT_TRUE(secrets.entries.empty());
}

TEST_F(APIKeyStoreTest, FailuresAreSilentLoggedOncePerKindAndNeverShowTheKey) {
    EXPECT_TRUE(APIKeyStore::saveAPIKey("warm-up")); // a success clears what earlier tests reported
    secrets.failWith = SecretError{SecretError::Kind::unavailable, "no Secret Service"};

    EXPECT_FALSE(APIKeyStore::saveAPIKey("sk-secret-value"));
    EXPECT_EQ(APIKeyStore::loadAPIKey(), std::nullopt);
    EXPECT_FALSE(APIKeyStore::deleteAPIKey());
    EXPECT_EQ(platform.log.count("credential store unavailable"), 1u);

    secrets.failWith = SecretError{SecretError::Kind::failed, "locked collection"};
    EXPECT_FALSE(APIKeyStore::saveAPIKey("sk-secret-value"));
    EXPECT_FALSE(APIKeyStore::saveAPIKey("sk-secret-value"));
    EXPECT_EQ(platform.log.count("could not delete the API key"), 1u);
    EXPECT_EQ(platform.log.count("could not save the API key"), 1u);

    for (const auto& line : platform.log.lines()) {
        EXPECT_EQ(line.find("sk-secret-value"), std::string::npos) << line;
        EXPECT_TRUE(line.starts_with("Velloq: ")) << line;
    }

    // Once the store answers again, a later outage is reported again.
    secrets.failWith.reset();
    EXPECT_EQ(APIKeyStore::loadAPIKey(), "warm-up") << "the failed saves never got through";
    secrets.failWith = SecretError{SecretError::Kind::unavailable, "gone again"};
    APIKeyStore::loadAPIKey();
    EXPECT_EQ(platform.log.count("credential store unavailable"), 2u);
}

TEST_F(APIKeyStoreTest, SaveDeletesTheOldKeyEvenWhenAddingTheNewOneFails) {
    EXPECT_TRUE(APIKeyStore::saveAPIKey("old"));
    secrets.failAdds = true;
    EXPECT_FALSE(APIKeyStore::saveAPIKey("new"));
    secrets.failAdds = false;
    EXPECT_EQ(APIKeyStore::loadAPIKey(), std::nullopt);
}
