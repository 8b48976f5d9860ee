#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velloq::platform {

struct SaveRequest {
    std::string suggestedName; // preset in the name field, e.g. "screenshot.png"
    std::string typeName;      // the one allowed type, as the panel names it
    std::string extension;     // its file extension without the dot, e.g. "png"
};

// The desktop's save panel. It runs modally: timers and queued work keep
// running while it is open, so callers must expect state to change under them.
class SavePanel {
public:
    virtual ~SavePanel() = default;
    // Brings the application to the front and asks for a location; none when cancelled.
    virtual std::optional<std::filesystem::path> run(const SaveRequest& request) = 0;
};

} // namespace velloq::platform
