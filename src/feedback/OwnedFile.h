#pragma once

#include <filesystem>

namespace velloq {

// A temporary file that belongs to whoever holds it, shared: a video card
// owns its recording, and a Save in progress keeps it until the copy is done.
// The file is removed when the last holder lets go.
class OwnedFile {
public:
    explicit OwnedFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~OwnedFile();
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace velloq
