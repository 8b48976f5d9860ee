#pragma once

// velloq-server's configuration file: `NAME = VALUE` lines whose names are
// the long options without their dashes. Blank lines and lines starting with
// '#' are skipped. Reading it only splits lines; CommandLine gives each value
// the same checks as the option it stands for.

#include "server/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::server {

struct ConfigSetting {
    std::string name;
    std::string value;
    int line = 0;
};

// `where` names the file in messages, which read "WHERE:LINE: ...".
Expected<std::vector<ConfigSetting>, Error> parseConfigText(std::string_view text,
                                                            const std::string& where);

Expected<std::vector<ConfigSetting>, Error> readConfigFile(const std::filesystem::path& path);

// A flag's value: true/yes/on/1 or false/no/off/0.
std::optional<bool> parseFlag(std::string_view value);

} // namespace velloq::server
