#include "app/CommandLine.h"

#include "app/SetKeyCommand.h"
#include "fakes/FakePlatform.h"
#include "keystore/APIKeyStore.h"

#include <gtest/gtest.h>
#include <sstream>

using velloq::Command;
using velloq::parseCommandLine;

TEST(CommandLine, VerbsAndTheirArguments) {
    EXPECT_EQ(parseCommandLine({}).command, Command::tray);
    EXPECT_EQ(parseCommandLine({"set-key"}).command, Command::setKey);
    EXPECT_EQ(parseCommandLine({"--version"}).command, Command::version);
    EXPECT_EQ(parseCommandLine({"--help"}).command, Command::help);
    EXPECT_EQ(parseCommandLine({"frobnicate"}).command, Command::invalid);
    // The desktop entry's "Record screen" action.
    EXPECT_FALSE(parseCommandLine({"gui"}).recordFlow);
    EXPECT_TRUE(parseCommandLine({"gui", "--record"}).recordFlow);
    EXPECT_EQ(parseCommandLine({"gui", "--region"}).command, Command::invalid);
}

TEST(CommandLine, SetKeyRefusesAKeyGivenAsAnArgument) {
    const auto invocation = parseCommandLine({"set-key", "sk-123"});
    EXPECT_EQ(invocation.command, Command::invalid);
    EXPECT_NE(invocation.problem.find("takes no arguments"), std::string::npos);
    EXPECT_EQ(invocation.problem.find("sk-123"), std::string::npos) << "the key is not echoed";
}

namespace {

struct SetKeyRun {
    int status;
    std::string out;
    std::string err;
};

SetKeyRun runSetKey(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = velloq::runSetKey(in, out, err, false);
    return {status, out.str(), err.str()};
}

} // namespace

// What standard input does to the stored key (the trimming rule itself is the key store's).
TEST(SetKeyCommand, StandardInputSavesRemovesOrKeepsTheKey) {
    const struct {
        std::string input;
        int status;
        const char* out;
        std::optional<std::string> stored; // "old" was stored before
    } cases[] = {{"  sk-live-42\n", 0, "API key saved.\n", "sk-live-42"},
                 {"\n", 0, "API key removed.\n", std::nullopt},
                 {std::string("\xFF\xFE", 2), 1, "", "old"}};
    for (const auto& c : cases) {
        velloq::testing::FakePlatform platform;
        EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey("old"));
        const auto run = runSetKey(c.input);
        EXPECT_EQ(run.status, c.status) << c.input;
        EXPECT_EQ(run.out, c.out) << c.input;
        EXPECT_EQ(velloq::APIKeyStore::loadAPIKey(), c.stored) << c.input;
    }
}

TEST(SetKeyCommand, AKeyringThatCannotBeReachedIsAFailureNotASuccess) {
    velloq::testing::FakePlatform platform;
    platform.secrets.failWith =
        velloq::platform::SecretError{velloq::platform::SecretError::Kind::unavailable, "no bus"};
    for (const std::string input : {"sk-live-42", "\n"}) {
        const auto run = runSetKey(input);
        EXPECT_EQ(run.status, 1) << input;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_NE(run.err.find("keyring"), std::string::npos);
        EXPECT_EQ(run.err.find("sk-live-42"), std::string::npos);
    }
}
