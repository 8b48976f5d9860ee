#pragma once

// What velloq-server accepts, described once: `--help`, the manual page and the
// configuration file's keys are all written from this table.

#include <string>
#include <vector>

namespace velloq::server {

struct OptionHelp {
    std::string name;                     // "--listen", or "-h, --help"
    std::string argument;                 // "HOST:PORT", empty for a flag
    std::vector<std::string> description; // wrapped for a terminal
    bool inConfigFile = false;            // also a key of the configuration file
};

const std::vector<OptionHelp>& optionHelp();

// Paragraphs before the options, wrapped for a terminal.
const std::vector<std::vector<std::string>>& serverIntro();

// The configuration file's key for an option ("--listen" -> "listen").
std::string configKey(const OptionHelp& option);

// The whole `velloq-server --help` text.
std::string formatServerUsage();

} // namespace velloq::server
