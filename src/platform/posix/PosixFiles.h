#pragma once

// Files the user saves. Each write goes to a private temporary file beside
// the destination and is renamed over it only once complete, so a failed save
// never leaves a half-written file nor destroys the one that was there.

#include "platform/Files.h"

namespace velloq::platform {

class PosixFiles final : public Files {
public:
    Expected<void, FileError> write(const std::filesystem::path& destination,
                                    std::span<const std::byte> bytes) override;
    Expected<void, FileError> copy(const std::filesystem::path& source,
                                   const std::filesystem::path& destination) override;
    Expected<void, FileError> remove(const std::filesystem::path& path) override;
};

} // namespace velloq::platform
