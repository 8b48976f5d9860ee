// The shell completions, run in real shells, and the command table they come from.

#include "Completion.h"

#include "app/CommandHelp.h"
#include "app/CommandLine.h"
#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace velloq {
namespace {

using testing::ChildProcess;
using testing::TempDir;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

std::string run(const std::vector<std::string>& argv) {
    ChildProcess shell(argv, {});
    const auto status = shell.wait(std::chrono::seconds(20));
    EXPECT_EQ(status, 0) << shell.errors();
    return shell.output();
}

// The words bash offers after `typed` (whole words, the last one being completed).
std::vector<std::string> bashOffers(const TempDir& dir, const std::vector<std::string>& typed) {
    const auto script = dir.path() / "velloq.bash";
    std::ofstream(script) << dist::bashCompletion();
    std::string words;
    for (const auto& word : typed) {
        words += " '" + word + "'";
    }
    return lines(run({"/bin/bash", "-c",
                      "cd '" + dir.path().string() + "' && source '" + script.string() +
                          "' && COMP_WORDS=(" + words +
                          ") && COMP_CWORD=" + std::to_string(typed.size() - 1) +
                          " && _velloq && for w in \"${COMPREPLY[@]}\"; do echo \"$w\"; done"}));
}

std::vector<std::string> tableVerbs() {
    std::vector<std::string> verbs;
    for (const auto& verb : verbHelp()) {
        verbs.push_back(verb.verb);
    }
    return verbs;
}

TEST(CommandHelp, TheTableNamesEveryCommandTheParserKnows) {
    std::set<Command> reached;
    for (const auto& verb : verbHelp()) {
        // The fewest arguments the verb's own table entry says it takes.
        std::vector<std::string> args{verb.verb};
        auto invocation = parseCommandLine(args);
        if (invocation.command == Command::invalid && !verb.options.empty()) {
            args.push_back(verb.options.front().name);
            if (verb.options.front().value != ValueKind::none) {
                args.push_back("1");
            }
            invocation = parseCommandLine(args);
        }
        if (invocation.command == Command::invalid && verb.takesFiles) {
            invocation = parseCommandLine({verb.verb, "file"});
        }
        EXPECT_NE(invocation.command, Command::invalid) << verb.verb << ": " << invocation.problem;
        reached.insert(invocation.command);
    }
    const std::set<Command> all{Command::setKey,  Command::version,  Command::help,
                                Command::capture, Command::displays, Command::gui,
                                Command::record,  Command::upload};
    EXPECT_EQ(reached, all);
}

TEST(BashCompletion, OffersEveryVerbThenEachVerbsOptionsAndValues) {
    TempDir dir;
    std::ofstream(dir.path() / "clip.mp4") << "x";
    EXPECT_EQ(bashOffers(dir, {"velloq", ""}), tableVerbs());
    EXPECT_EQ(bashOffers(dir, {"velloq", "re"}), std::vector<std::string>{"record"});
    const struct {
        std::vector<std::string> typed;
        std::vector<std::string> offered;
    } cases[] = {
        {{"velloq", "record", "--fps", ""}, {"30", "60"}},
        {{"velloq", "record", "--display", "1", "--resolution", "1"}, {"1080p"}},
        {{"velloq", "record", "--display", ""}, {}}, // an id is typed, not guessed
        {{"velloq", "capture", "--u"}, {"--upload"}},
        {{"velloq", "capture", "--output", "cl"}, {"clip.mp4"}},
        {{"velloq", "upload", "a", "cl"}, {"clip.mp4"}},
        {{"velloq", "set-key", ""}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bashOffers(dir, c.typed), c.offered) << c.typed[2];
    }
    const auto options = bashOffers(dir, {"velloq", "capture", ""});
    EXPECT_EQ(options,
              (std::vector<std::string>{"--all", "--display", "--region", "--output", "--upload"}));
}

TEST(ZshCompletion, DescribesEveryVerbAndHandsEachVerbItsOptions) {
    const std::string zsh = std::filesystem::exists("/usr/bin/zsh") ? "/usr/bin/zsh" : "/bin/zsh";
    if (!std::filesystem::exists(zsh)) {
        GTEST_SKIP() << "zsh is not installed";
    }
    TempDir dir;
    const auto script = dir.path() / "_velloq";
    std::ofstream(script) << dist::zshCompletion();
    // Stand-ins for the completion system's functions print what they are handed.
    const std::string stubs = "_describe() { print -rl -- \"${(@P)${@[-1]}}\" }; "
                              "_arguments() { print -rl -- \"$@\" }; ";
    const auto described = lines(
        run({zsh, "-f", "-c", stubs + "CURRENT=2; words=(velloq ''); source " + script.string()}));
    ASSERT_EQ(described.size(), verbHelp().size());
    for (std::size_t i = 0; i < described.size(); ++i) {
        EXPECT_EQ(described[i].rfind(verbHelp()[i].verb + ":", 0), 0u) << described[i];
    }
    const auto record =
        lines(run({zsh, "-f", "-c",
                   stubs + "CURRENT=3; words=(velloq record ''); source " + script.string()}));
    EXPECT_NE(std::find(record.begin(), record.end(), "--fps:value:(30 60)"), record.end());
    EXPECT_NE(std::find(record.begin(), record.end(), "--output:file:_files"), record.end());
    const auto upload =
        lines(run({zsh, "-f", "-c",
                   stubs + "CURRENT=3; words=(velloq upload ''); source " + script.string()}));
    EXPECT_EQ(upload, std::vector<std::string>{"*:file:_files"});
}

} // namespace
} // namespace velloq
