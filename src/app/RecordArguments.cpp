#include "app/ArgumentText.h"
#include "app/RecordCommand.h"
#include "settings/UserFolders.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace velloq {
namespace {

std::optional<std::uint32_t> identifier(const std::string& text) {
    char* end = nullptr;
    const unsigned long long id = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || text.front() == '-' || id > 0xffffffffULL) {
        return std::nullopt;
    }
    return std::uint32_t(id);
}

} // namespace

std::optional<std::string> parseRecordArguments(const std::vector<std::string>& arguments,
                                                RecordOptions& options) {
    bool targetGiven = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool takesValue = option == "--display" || option == "--region" ||
                                option == "--window" || option == "--duration" ||
                                option == "--fps" || option == "--resolution" ||
                                option == "--output";
        if (takesValue && i + 1 >= arguments.size()) {
            return "'" + option + "' needs a value";
        }
        if (option == "--display" || option == "--region" || option == "--window") {
            if (targetGiven) {
                return "give one of --display, --region or --window";
            }
            targetGiven = true;
            const std::string& value = arguments[++i];
            if (option == "--region") {
                const auto rect = parseRegion(value);
                if (!rect) {
                    return "'--region' needs X,Y,WIDTH,HEIGHT in points, width and height above 0";
                }
                options.mode = RecordOptions::Mode::region;
                options.region = *rect;
                continue;
            }
            const auto id = identifier(value);
            if (!id) {
                return "'" + option + "' needs a numeric id";
            }
            options.mode =
                option == "--display" ? RecordOptions::Mode::display : RecordOptions::Mode::window;
            options.id = *id;
        } else if (option == "--duration") {
            const auto seconds = parseNumber(arguments[++i]);
            if (!seconds || !(*seconds > 0) || *seconds > 24 * 3600) {
                return "'--duration' needs a number of seconds above 0";
            }
            options.duration = *seconds;
        } else if (option == "--fps") {
            const std::string& value = arguments[++i];
            if (value != "30" && value != "60") {
                return "'--fps' takes 30 or 60";
            }
            options.frameRate = std::stoi(value);
        } else if (option == "--resolution") {
            const std::string& value = arguments[++i];
            if (value != "720p" && value != "1080p" && value != "source") {
                return "'--resolution' takes 720p, 1080p or source";
            }
            options.resolution = value;
        } else if (option == "--mic") {
            if (options.mic == false) {
                return "give either --mic or --no-mic";
            }
            options.mic = true;
            if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
                options.micName = arguments[++i];
            }
        } else if (option == "--no-mic") {
            if (options.mic == true) {
                return "give either --mic or --no-mic";
            }
            options.mic = false;
        } else if (option == "--no-cursor") {
            options.cursor = false;
        } else if (option == "--clicks") {
            options.clicks = true;
        } else if (option == "--output") {
            options.output = arguments[++i];
        } else if (option == "--upload") {
            options.upload = true;
        } else {
            return "unknown record option '" + option + "'";
        }
    }
    if (!targetGiven) {
        return "give one of --display, --region or --window";
    }
    return std::nullopt;
}

std::filesystem::path defaultRecordingPath(std::time_t now) {
    return settings::datedPath(settings::userFolder(settings::UserFolder::videos) / "Velloq", "mp4",
                               now);
}

} // namespace velloq
