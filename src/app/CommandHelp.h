#pragma once

// What `velloq` accepts, described once: `--help`, the manual page and the
// shell completions are all written from these tables, so they cannot drift
// apart from each other. The parser itself lives in CommandLine.

#include <string>
#include <vector>

namespace velloq {

// What follows an option, as far as a shell can help with it.
enum class ValueKind {
    none,     // a flag
    word,     // free text: a number, an id, a name
    file,     // a path
    choice,   // one of `choices`
    optional, // a word that may be left out (`--mic [NAME]`)
};

struct OptionHelp {
    std::string name; // "--display"
    ValueKind value = ValueKind::none;
    std::vector<std::string> choices{};
};

struct VerbHelp {
    std::string verb;                     // "record", or "--version" for the bare options
    std::vector<std::string> synopsis;    // what follows the verb, one line each
    std::vector<std::string> description; // wrapped for a terminal
    std::vector<OptionHelp> options{};
    bool takesFiles = false; // operands are paths
};

struct EnvironmentHelp {
    std::string name;
    std::vector<std::string> description;
};

const std::vector<VerbHelp>& verbHelp();
const std::vector<EnvironmentHelp>& environmentHelp();

// One paragraph about running without a command.
const std::vector<std::string>& trayHelp();

// The whole `velloq --help` text.
std::string formatUsage();

} // namespace velloq
