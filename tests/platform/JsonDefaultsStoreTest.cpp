#include "platform/json/JsonDefaultsStore.h"

#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using velloq::platform::DefaultsError;
using velloq::platform::JsonDefaultsStore;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        found.push_back(entry.path());
    }
    return found;
}

class JsonDefaultsStoreTest : public ::testing::Test {
protected:
    velloq::testing::FakePlatform platform;
    velloq::testing::TempDir dir;
    fs::path file = dir.path() / "velloq" / "settings.json";
    JsonDefaultsStore store{file};
};

class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) {
            saved_ = value;
        }
    }
    ~EnvironmentGuard() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

} // namespace

TEST(JsonDefaultsStorePath, FollowsXdgConfigHomeAndFallsBackToDotConfig) {
    EnvironmentGuard config("XDG_CONFIG_HOME");
    EnvironmentGuard home("HOME");
    ::setenv("HOME", "/home/someone", 1);

    ::setenv("XDG_CONFIG_HOME", "/custom/config", 1);
    EXPECT_EQ(JsonDefaultsStore::defaultPath(), "/custom/config/velloq/settings.json");

    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(JsonDefaultsStore::defaultPath(), "/home/someone/.config/velloq/settings.json");

    // Relative and empty values are invalid by the base-directory rules.
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(JsonDefaultsStore::defaultPath(), "/home/someone/.config/velloq/settings.json");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(JsonDefaultsStore::defaultPath(), "/home/someone/.config/velloq/settings.json");
}

TEST_F(JsonDefaultsStoreTest, FirstWriteCreatesAPrivateFileAndValuesKeepTheirTypes) {
    EXPECT_FALSE(store.object("playSound"));
    EXPECT_TRUE(platform.log.lines().empty());
    EXPECT_FALSE(fs::exists(file)) << "reading a missing file must not create it";
    ASSERT_TRUE(store.set("recordFrameRate", 60));
    ASSERT_TRUE(store.set("recordResolution", "720p"));
    ASSERT_TRUE(store.set("playSound", false));

    EXPECT_TRUE(store.object("recordFrameRate")->is_number_integer());
    EXPECT_TRUE(store.object("recordResolution")->is_string());
    EXPECT_TRUE(store.object("playSound")->is_boolean());
    EXPECT_EQ(*store.object("recordFrameRate"), 60);

    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Only the settings file is left: no temporary files.
    EXPECT_EQ(filesIn(file.parent_path()).size(), 1u);
}

TEST_F(JsonDefaultsStoreTest, WritesKeepKeysWrittenByOthersAndReadsSeeOutsideChanges) {
    writeText(file, R"({"future": {"nested": [1, 2]}, "recordFrameRate": "sixty"})");
    ASSERT_TRUE(store.set("playSound", false));

    const auto saved = nlohmann::json::parse(velloq::testing::fileContents(file));
    EXPECT_EQ(saved["future"], nlohmann::json::parse(R"({"nested": [1, 2]})"));
    EXPECT_EQ(saved["recordFrameRate"], "sixty") << "a wrong-typed value is kept, not fixed";
    EXPECT_EQ(saved["playSound"], false);

    // No cache: an edit made outside shows at the next read.
    writeText(file, R"({"playSound": true})");
    EXPECT_EQ(*store.object("playSound"), true);

    ASSERT_TRUE(store.remove("playSound"));
    EXPECT_FALSE(store.object("playSound"));
}

TEST_F(JsonDefaultsStoreTest, CorruptFileReadsAsDefaultsAndIsCopiedBeforeTheFirstWrite) {
    const std::string corrupt = "{\"playSound\": false,, oops";
    writeText(file, corrupt);

    EXPECT_FALSE(store.object("playSound"));
    EXPECT_FALSE(store.object("editBeforeUpload"));
    EXPECT_EQ(platform.log.count("not a JSON object"), 1u) << "reported once, not per read";
    EXPECT_EQ(velloq::testing::fileContents(file), corrupt) << "reading never rewrites the file";

    ASSERT_TRUE(store.set("recordFrameRate", 30));
    ASSERT_TRUE(store.set("recordCountdown", false));

    std::vector<fs::path> copies;
    for (const auto& path : filesIn(file.parent_path())) {
        if (path.filename().string().starts_with("settings.json.corrupt-")) {
            copies.push_back(path);
        }
    }
    ASSERT_EQ(copies.size(), 1u) << "one copy, made by the first write only";
    EXPECT_EQ(velloq::testing::fileContents(copies.front()), corrupt);
    const auto saved = nlohmann::json::parse(velloq::testing::fileContents(file));
    EXPECT_EQ(saved, nlohmann::json::parse(R"({"recordFrameRate": 30, "recordCountdown": false})"));
}

TEST_F(JsonDefaultsStoreTest, TopLevelThatIsNotAnObjectCountsAsCorrupt) {
    writeText(file, "[true, false]");
    EXPECT_FALSE(store.object("0"));
    EXPECT_EQ(platform.log.count("not a JSON object"), 1u);
}

TEST_F(JsonDefaultsStoreTest, UnreadableFileIsNeverReplaced) {
    // A directory where the file should be cannot be read, even by root.
    fs::create_directories(file / "inside");
    EXPECT_FALSE(store.object("playSound"));
    auto result = store.set("playSound", false);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), DefaultsError::unreadable);
    EXPECT_TRUE(fs::is_directory(file / "inside"));
    EXPECT_EQ(platform.log.count("cannot be read"), 1u);
}

TEST_F(JsonDefaultsStoreTest, UnwritableLocationFailsWithOneLogLineAndLosesNothing) {
    // A file where the config folder should be: creating it fails, even for root.
    writeText(dir.path() / "blocked", "");
    JsonDefaultsStore blocked(dir.path() / "blocked" / "velloq" / "settings.json");
    auto first = blocked.set("playSound", false);
    auto second = blocked.set("recordCountdown", false);
    ASSERT_FALSE(first);
    EXPECT_EQ(first.error(), DefaultsError::unwritable);
    EXPECT_FALSE(second);
    EXPECT_EQ(platform.log.count("could not save settings"), 1u);
    EXPECT_FALSE(blocked.object("playSound")) << "reads still answer with defaults";
}

TEST_F(JsonDefaultsStoreTest, ReadOnlyFolderKeepsTheStoredFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    ASSERT_TRUE(store.set("playSound", false));
    fs::permissions(file.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(store.set("playSound", true));
    EXPECT_EQ(*store.object("playSound"), false);
    EXPECT_EQ(filesIn(file.parent_path()).size(), 1u) << "no temporary file left behind";
}

TEST_F(JsonDefaultsStoreTest, ConcurrentWritersNeverLoseEachOthersKeys) {
    constexpr int perThread = 40;
    auto writer = [&](const std::string& prefix) {
        for (int i = 0; i < perThread; ++i) {
            ASSERT_TRUE(store.set(prefix + std::to_string(i), i));
        }
    };
    std::thread a(writer, "a");
    std::thread b(writer, "b");
    a.join();
    b.join();
    const auto saved = nlohmann::json::parse(velloq::testing::fileContents(file));
    EXPECT_EQ(saved.size(), 2u * perThread);
}
