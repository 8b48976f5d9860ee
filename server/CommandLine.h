#pragma once

// velloq-server's command line.

#include "server/Config.h"

#include <string>
#include <vector>

namespace velloq::server {

struct CommandLine {
    ServerConfig config;
    bool showHelp = false;
    bool showVersion = false;
};

// `args` excludes the program name. Key and manifest files are read here.
Expected<CommandLine, Error> parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

// Per-user default: $XDG_DATA_HOME/velloq-server, else ~/.local/share/velloq-server.
std::filesystem::path defaultDataDir();

} // namespace velloq::server
