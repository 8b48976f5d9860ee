#include "server/ConfigFile.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <sstream>

namespace velloq::server {
namespace {

std::string_view trim(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool validName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

} // namespace

Expected<std::vector<ConfigSetting>, Error> parseConfigText(std::string_view text,
                                                            const std::string& where) {
    std::vector<ConfigSetting> settings;
    std::map<std::string, int> seen;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string at = where + ":" + std::to_string(number) + ": ";
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            return fail(at + "expected NAME = VALUE");
        }
        const std::string name(trim(line.substr(0, eq)));
        if (!validName(name)) {
            return fail(at + "expected NAME = VALUE, with NAME in lower case");
        }
        const std::string_view value = trim(line.substr(eq + 1));
        if (value.empty()) {
            return fail(at + name + " needs a value");
        }
        // A key file lists several; anything else given twice is a mistake to point at.
        if (auto [it, first] = seen.emplace(name, number); !first && name != "key-file") {
            return fail(at + name + " is already set on line " + std::to_string(it->second));
        }
        settings.push_back({name, std::string(value), number});
    }
    return settings;
}

Expected<std::vector<ConfigSetting>, Error> readConfigFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return fail("cannot read configuration file " + path.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        return fail("cannot read configuration file " + path.string());
    }
    return parseConfigText(text.str(), path.string());
}

std::optional<bool> parseFlag(std::string_view value) {
    static constexpr std::array<std::string_view, 4> yes{"true", "yes", "on", "1"};
    static constexpr std::array<std::string_view, 4> no{"false", "no", "off", "0"};
    if (std::find(yes.begin(), yes.end(), value) != yes.end()) {
        return true;
    }
    if (std::find(no.begin(), no.end(), value) != no.end()) {
        return false;
    }
    return std::nullopt;
}

} // namespace velloq::server
