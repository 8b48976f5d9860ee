#include "app/RecordCommand.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace velloq {
namespace {

std::optional<double> number(const std::string& text) {
    std::istringstream in(text);
    double value = 0;
    if (text.empty() || !(in >> value) || !in.eof() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> identifier(const std::string& text) {
    char* end = nullptr;
    const unsigned long long id = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || text.front() == '-' || id > 0xffffffffULL) {
        return std::nullopt;
    }
    return std::uint32_t(id);
}

std::optional<capture::Rect> region(const std::string& text) {
    std::vector<double> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        const auto value = number(part);
        if (!value) {
            return std::nullopt;
        }
        parts.push_back(*value);
    }
    if (parts.size() != 4 || !(parts[2] > 0) || !(parts[3] > 0) || text.back() == ',') {
        return std::nullopt;
    }
    return capture::Rect{parts[0], parts[1], parts[2], parts[3]};
}

// The folder XDG_VIDEOS_DIR names in the environment or in user-dirs.dirs, else ~/Videos.
std::filesystem::path videosFolder() {
    const char* home = std::getenv("HOME");
    const std::filesystem::path homePath = home != nullptr ? home : "/";
    if (const char* direct = std::getenv("XDG_VIDEOS_DIR"); direct != nullptr && *direct == '/') {
        return direct;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path configPath =
        config != nullptr && *config ? std::filesystem::path(config) : homePath / ".config";
    std::ifstream dirs(configPath / "user-dirs.dirs");
    const std::regex line(R"re(^\s*XDG_VIDEOS_DIR\s*=\s*"([^"]*)"\s*$)re");
    std::string text;
    while (std::getline(dirs, text)) {
        std::smatch match;
        if (std::regex_match(text, match, line)) {
            std::string value = match[1];
            if (value.rfind("$HOME", 0) == 0) {
                value = homePath.string() + value.substr(5);
            }
            if (!value.empty() && value.front() == '/') {
                return value;
            }
        }
    }
    return homePath / "Videos";
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
                const auto rect = region(value);
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
            const auto seconds = number(arguments[++i]);
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
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const auto folder = videosFolder() / "Velloq";
    std::filesystem::path path = folder / ("velloq-" + std::string(stamp) + ".mp4");
    for (int n = 2; std::filesystem::exists(path); ++n) {
        path = folder / ("velloq-" + std::string(stamp) + "-" + std::to_string(n) + ".mp4");
    }
    return path;
}

} // namespace velloq
