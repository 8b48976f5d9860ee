#include "platform/posix/PosixFiles.h"

#include "fakes/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace velloq::platform {
namespace {

class PosixFilesTest : public ::testing::Test {
protected:
    std::filesystem::path file(const std::string& name, const std::string& bytes) const {
        const auto path = dir.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::span<const std::byte> bytes(const std::string& text) {
        return std::as_bytes(std::span(text.data(), text.size()));
    }
    // Nothing but the named files: no temporary file left behind.
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()));
    }

    testing::TempDir dir;
    PosixFiles files;
};

TEST_F(PosixFilesTest, WriteCreatesOrReplacesTheFile) {
    const auto target = dir.path() / "shot.png";
    const std::string first = "first";
    ASSERT_TRUE(files.write(target, bytes(first)));
    EXPECT_EQ(velloq::testing::fileContents(target), "first");
    ::chmod(target.c_str(), 0640);
    const std::string second = "second, longer";
    ASSERT_TRUE(files.write(target, bytes(second)));
    EXPECT_EQ(velloq::testing::fileContents(target), "second, longer");
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
    EXPECT_EQ(entries(), 1u);
    const auto result = files.write(dir.path() / "nowhere" / "shot.png", bytes(first));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), FileError::unwritable) << "a missing folder";
}

TEST_F(PosixFilesTest, CopyReplacesTheDestination) {
    const auto source = file("recording.mp4", std::string(200000, 'v'));
    const auto destination = file("saved.mp4", "old");
    ASSERT_TRUE(files.copy(source, destination));
    EXPECT_EQ(velloq::testing::fileContents(destination), std::string(200000, 'v'));
    EXPECT_EQ(velloq::testing::fileContents(source), std::string(200000, 'v'));
    EXPECT_EQ(entries(), 2u);
    ASSERT_TRUE(files.copy(source, source));
    EXPECT_EQ(velloq::testing::fileContents(source), std::string(200000, 'v'))
        << "a copy onto itself keeps the file";
}

TEST_F(PosixFilesTest, AFailedCopyLeavesTheOldFileAndNoLeftovers) {
    const auto destination = file("saved.mp4", "keep me");
    auto missing = files.copy(dir.path() / "gone.mp4", destination);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), FileError::unreadable);
    // A folder opens but cannot be read as a file.
    std::filesystem::create_directory(dir.path() / "folder");
    auto unreadable = files.copy(dir.path() / "folder", destination);
    ASSERT_FALSE(unreadable);
    EXPECT_EQ(unreadable.error(), FileError::unreadable);
    EXPECT_EQ(velloq::testing::fileContents(destination), "keep me");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(PosixFilesTest, RemoveTreatsAMissingFileAsRemoved) {
    const auto path = file("recording.mp4", "frames");
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(files.remove(path));
}

} // namespace
} // namespace velloq::platform
