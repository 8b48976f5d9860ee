#pragma once

// Writing and copying files the user asked for. A write or copy either
// completes or leaves whatever was at the destination untouched.

#include "common/Expected.h"

#include <filesystem>
#include <span>

namespace velloq::platform {

enum class FileError {
    unreadable,  // the source could not be opened or read
    unwritable,  // the destination could not be created, written or replaced
    unremovable, // the file is there and could not be removed
};

class Files {
public:
    virtual ~Files() = default;
    // Writes `bytes` to `destination`, replacing any file there.
    virtual Expected<void, FileError> write(const std::filesystem::path& destination,
                                            std::span<const std::byte> bytes) = 0;
    // Copies `source` to `destination`, replacing any file there.
    virtual Expected<void, FileError> copy(const std::filesystem::path& source,
                                           const std::filesystem::path& destination) = 0;
    // Removes a file; a missing file counts as removed.
    virtual Expected<void, FileError> remove(const std::filesystem::path& path) = 0;
};

} // namespace velloq::platform
