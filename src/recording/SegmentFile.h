#pragma once

// The local copy of a recording's segment stream: a new file in the
// temporary directory named "velloq-" + upper-case UUID + ".mp4", created
// exclusively and readable by the user alone.

#include <filesystem>
#include <optional>
#include <string_view>

namespace velloq::recording {

class SegmentFile {
public:
    // None when no such file could be created.
    static std::optional<SegmentFile> create(const std::filesystem::path& folder);
    SegmentFile(SegmentFile&& other) noexcept;
    SegmentFile& operator=(SegmentFile&& other) noexcept;
    ~SegmentFile(); // closes
    SegmentFile(const SegmentFile&) = delete;
    SegmentFile& operator=(const SegmentFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Appends; a failure is remembered, and later writes are skipped.
    void write(std::string_view bytes);
    // Closes the file; false when any write or the close failed.
    bool close();

private:
    SegmentFile(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}

    std::filesystem::path path_;
    int fd_ = -1;
    bool failed_ = false;
};

} // namespace velloq::recording
