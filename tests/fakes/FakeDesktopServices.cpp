#include "fakes/FakeDesktopServices.h"

#include <cmath>
#include <fstream>

namespace velloq::testing {

std::optional<std::filesystem::path> FakeSavePanel::run(const platform::SaveRequest& request) {
    requests.push_back(request);
    if (whileOpen) {
        whileOpen();
    }
    return answer;
}

Expected<void, platform::FileError> FakeFiles::write(const std::filesystem::path& destination,
                                                     std::span<const std::byte> bytes) {
    if (failWrites) {
        return Unexpected(platform::FileError::unwritable); // and nothing is left behind
    }
    std::ofstream out(destination, std::ios::binary | std::ios::trunc);
    if (!out) {
        return Unexpected(platform::FileError::unwritable);
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        return Unexpected(platform::FileError::unwritable);
    }
    return {};
}

Expected<void, platform::FileError> FakeFiles::copy(const std::filesystem::path& source,
                                                    const std::filesystem::path& destination) {
    if (!std::filesystem::exists(source)) {
        return Unexpected(platform::FileError::unreadable);
    }
    std::error_code error;
    if (!std::filesystem::copy_file(source, destination,
                                    std::filesystem::copy_options::overwrite_existing, error)) {
        return Unexpected(platform::FileError::unwritable);
    }
    return {};
}

Expected<void, platform::FileError> FakeFiles::remove(const std::filesystem::path& path) {
    removed.push_back(path);
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) {
        return Unexpected(platform::FileError::unremovable);
    }
    return {};
}

platform::WindowSystemRect FakeWorkArea::toWindowSystem(const platform::GlobalRect& rect) {
    return {static_cast<int>(std::lround(rect.x)),
            static_cast<int>(std::lround(primaryHeight - rect.y - rect.height)),
            static_cast<int>(std::lround(rect.width)), static_cast<int>(std::lround(rect.height))};
}

} // namespace velloq::testing
