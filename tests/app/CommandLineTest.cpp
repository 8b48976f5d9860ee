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

TEST(SetKeyCommand, StoresTheTrimmedKeyFromStandardInput) {
    velloq::testing::FakePlatform platform;
    const auto run = runSetKey("  sk-live-42\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "API key saved.\n");
    EXPECT_EQ(velloq::APIKeyStore::loadAPIKey(), "sk-live-42");
}

TEST(SetKeyCommand, EmptyInputRemovesTheKey) {
    velloq::testing::FakePlatform platform;
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey("old"));
    const auto run = runSetKey("\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "API key removed.\n");
    EXPECT_EQ(velloq::APIKeyStore::loadAPIKey(), std::nullopt);
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

TEST(SetKeyCommand, InputThatIsNotUtf8ChangesNothing) {
    velloq::testing::FakePlatform platform;
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey("kept"));
    const auto run = runSetKey(std::string("\xFF\xFE", 2));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(velloq::APIKeyStore::loadAPIKey(), "kept");
}
