// The manual pages, formatted by the real man, against the tables they come from.

#include "ManPage.h"

#include "app/CommandHelp.h"
#include "fakes/TempDir.h"
#include "server/OptionHelp.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace velloq {
namespace {

struct Formatted {
    std::string text;
    std::string warnings;
};

// The page as `man` shows it on a wide ASCII terminal, and what groff complained of.
Formatted format(const std::string& page) {
    testing::TempDir dir;
    const auto file = dir.path() / "page.1";
    const auto errors = dir.path() / "errors";
    std::ofstream(file) << page;
    const std::string command = "MANWIDTH=200 LC_ALL=C.UTF-8 man --warnings -E ascii -l '" +
                                file.string() + "' 2>'" + errors.string() + "'";
    Formatted out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.text.append(buffer, n);
        }
        EXPECT_EQ(::pclose(pipe), 0);
    }
    out.warnings = testing::fileContents(errors);
    return out;
}

// Whether `what` appears, however the page wrapped its lines.
bool shows(const std::string& text, const std::string& what) {
    const auto squeezed = [](const std::string& in) {
        return std::regex_replace(in, std::regex("\\s+"), " ");
    };
    return squeezed(text).find(squeezed(what)) != std::string::npos;
}

TEST(ManPage, RoffControlCharactersAreEscaped) {
    const struct {
        std::string in, out;
    } cases[] = {{".hidden", "\\&.hidden"},
                 {"'quoted", "\\&'quoted"},
                 {"a\\b", "a\\eb"},
                 {"--all", "\\-\\-all"},
                 {"mid.dle", "mid.dle"}};
    for (const auto& c : cases) {
        EXPECT_EQ(dist::roffEscape(c.in), c.out);
    }
}

TEST(ManPage, ClientPageShowsEveryCommandAndVariableCleanly) {
    const auto page = format(dist::clientManPage("9.8.7"));
    EXPECT_EQ(page.warnings, "");
    EXPECT_TRUE(shows(page.text, "Velloq 9.8.7"));
    for (const auto& verb : verbHelp()) {
        std::string synopsis;
        for (const auto& line : verb.synopsis) {
            synopsis += " " + line;
        }
        EXPECT_TRUE(shows(page.text, verb.verb + synopsis)) << verb.verb;
    }
    for (const auto& variable : environmentHelp()) {
        EXPECT_TRUE(shows(page.text, variable.name)) << variable.name;
    }
}

TEST(ManPage, ServerPageShowsEveryOptionAndEveryConfigurationKey) {
    const auto page = format(dist::serverManPage("1.0"));
    EXPECT_EQ(page.warnings, "");
    // The ready line keeps its own line, as in --help.
    EXPECT_TRUE(std::regex_search(page.text, std::regex("\n +velloq-server ready url=<base URL>")));
    for (const auto& option : server::optionHelp()) {
        EXPECT_TRUE(
            shows(page.text, option.name + (option.argument.empty() ? "" : " ") + option.argument))
            << option.name;
        if (option.inConfigFile) {
            EXPECT_TRUE(shows(page.text, server::configKey(option) + " = ")) << option.name;
        }
    }
}

TEST(Help, EveryLineOfBothProgramsFitsATerminal) {
    for (const auto& usage : {formatUsage(), server::formatServerUsage()}) {
        std::istringstream in(usage);
        for (std::string line; std::getline(in, line);) {
            EXPECT_LE(line.size(), 80u) << line;
        }
    }
}

} // namespace
} // namespace velloq
