#include "settings/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <regex>

namespace velloq::settings {
namespace {

std::filesystem::path home() {
    const char* value = std::getenv("HOME");
    return value != nullptr && *value ? value : "/";
}

} // namespace

std::filesystem::path userFolder(UserFolder which) {
    const bool pictures = which == UserFolder::pictures;
    const std::string key = pictures ? "XDG_PICTURES_DIR" : "XDG_VIDEOS_DIR";
    const auto homePath = home();
    if (const char* direct = std::getenv(key.c_str()); direct != nullptr && *direct) {
        return direct;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path configPath =
        config != nullptr && *config ? std::filesystem::path(config) : homePath / ".config";
    std::ifstream dirs(configPath / "user-dirs.dirs");
    const std::regex line(R"re(^\s*)re" + key + R"re(\s*=\s*"([^"]*)"\s*$)re");
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
    return homePath / (pictures ? "Pictures" : "Videos");
}

std::filesystem::path datedPath(const std::filesystem::path& folder, std::string_view extension,
                                std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    const std::string base = "velloq-" + std::string(stamp);
    const std::string dot = "." + std::string(extension);
    std::filesystem::path path = folder / (base + dot);
    for (int n = 2; std::filesystem::exists(path); ++n) {
        path = folder / (base + "-" + std::to_string(n) + dot);
    }
    return path;
}

std::string homeRelative(const std::filesystem::path& path) {
    const std::string text = path.string();
    const std::string homeText = home().string();
    if (homeText != "/" && text.rfind(homeText + "/", 0) == 0) {
        return "~" + text.substr(homeText.size());
    }
    return text;
}

} // namespace velloq::settings
