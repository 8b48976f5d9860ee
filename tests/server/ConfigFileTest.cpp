// The configuration file and how it meets the command line.

#include "server/ConfigFile.h"

#include "fakes/TempDir.h"
#include "server/CommandLine.h"
#include "server/OptionHelp.h"

#include <fstream>
#include <gtest/gtest.h>

namespace velloq::server {
namespace {

using velloq::testing::TempDir;

std::string write(const TempDir& dir, const std::string& name, const std::string& text) {
    const auto path = dir.path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

TEST(ConfigFile, EveryMistakeNamesItsFileAndLine) {
    const struct {
        std::string text;
        std::string message; // after "FILE:"
    } cases[] = {
        {"# comment\nlisten 127.0.0.1:80\n", "2: expected NAME = VALUE"},
        {"\n\nListen = 1.2.3.4:5\n", "3: expected NAME = VALUE, with NAME in lower case"},
        {"= 5\n", "1: expected NAME = VALUE, with NAME in lower case"},
        {"threads =   \n", "1: threads needs a value"},
        {"threads = 4\r\nvideo-ttl = 60\r\nthreads = 8\r\n", "3: threads is already set on line 1"},
        {"colour = red\n", "1: unknown setting colour"},
        {"enable-fault-injection = true\n", "1: unknown setting enable-fault-injection"},
        {"plain-http = maybe\n", "1: plain-http takes true or false"},
        {"video-ttl = 0\n", "1: invalid value for video-ttl"},
        {"listen = nohost\n", "1: invalid value for listen"},
        {"key-file = /nonexistent/keys\n", "1: cannot read key file /nonexistent/keys"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = write(dir, "server.conf", c.text);
        auto line = parseCommandLine({"--config", path});
        ASSERT_FALSE(line.has_value()) << c.text;
        EXPECT_EQ(line.error().message, path + ":" + c.message) << c.text;
    }
}

TEST(ConfigFile, KeysAreNeverEchoedAndNeverTakenFromTheFile) {
    TempDir dir;
    // A key in the file is refused outright; a key file is the place for keys.
    const std::string path = write(dir, "a.conf", "key = sk-secret-value\n");
    auto line = parseCommandLine({"--config=" + path});
    ASSERT_FALSE(line.has_value());
    EXPECT_EQ(line.error().message.find("sk-secret-value"), std::string::npos);
    const std::string keys = write(dir, "keys", "not a key!\n");
    const std::string bad = write(dir, "b.conf", "key-file = " + keys + "\n");
    line = parseCommandLine({"--config", bad});
    ASSERT_FALSE(line.has_value());
    EXPECT_EQ(line.error().message.find("not a key"), std::string::npos) << line.error().message;
}

TEST(ConfigFile, SettingsApplyAndTheCommandLineWins) {
    TempDir dir;
    const std::string keys = write(dir, "keys", "k-one\nk-two disabled\n");
    const std::string path = write(dir, "server.conf",
                                   "  # the service\n"
                                   "listen = 0.0.0.0:8080\n"
                                   "plain-http = yes\n"
                                   "public-url = https://share.example.org/\n"
                                   "data-dir = " +
                                       dir.path().string() +
                                       "/data\n"
                                       "key-file = " +
                                       keys +
                                       "\n"
                                       "max-part-bytes = 1048576\n"
                                       "video-ttl=120\n");
    auto line = parseCommandLine({"--listen", "[::1]:9", "--config", path, "--key=k-three"});
    ASSERT_TRUE(line.has_value()) << line.error().message;
    const ServerConfig& c = line.value().config;
    EXPECT_EQ(c.host, "::1");
    EXPECT_EQ(c.port, 9);
    EXPECT_TRUE(c.plainHttp);
    EXPECT_EQ(c.publicUrl, "https://share.example.org/");
    EXPECT_EQ(c.dataDir, dir.path() / "data");
    EXPECT_EQ(c.maxPartBytes, 1048576u);
    EXPECT_EQ(c.videoLifetime, std::chrono::seconds(120));
    ASSERT_EQ(c.keys.size(), 3u);
    EXPECT_FALSE(c.keys[1].enabled);
    EXPECT_EQ(c.keys[2].key, "k-three");

    // A flag the file sets false stays off; certificates from the file pair up.
    const std::string tls =
        write(dir, "tls.conf", "plain-http = off\ncert = /etc/a.pem\ncert-key = /etc/a.key\n");
    line = parseCommandLine({"--config", tls});
    ASSERT_TRUE(line.has_value()) << line.error().message;
    EXPECT_FALSE(line.value().config.plainHttp);
    EXPECT_EQ(line.value().config.keyFile, std::filesystem::path("/etc/a.key"));
    EXPECT_FALSE(parseCommandLine({"--config", tls, "--plain-http"}).has_value());
}

TEST(ConfigFile, TheFileItselfMustBeThereOnceAndReadable) {
    TempDir dir;
    auto line = parseCommandLine({"--config", (dir.path() / "missing.conf").string()});
    ASSERT_FALSE(line.has_value());
    EXPECT_NE(line.error().message.find("cannot read configuration file"), std::string::npos);
    const std::string path = write(dir, "empty.conf", "");
    EXPECT_TRUE(parseCommandLine({"--config", path}).has_value());
    EXPECT_FALSE(parseCommandLine({"--config", path, "--config", path}).has_value());
    EXPECT_FALSE(parseCommandLine({"--config"}).has_value());
}

// The table the help and the manual are written from must match what the parser takes.
TEST(OptionHelp, EveryDocumentedOptionAndKeyIsUnderstood) {
    TempDir dir;
    for (const OptionHelp& option : optionHelp()) {
        const std::string name = option.name.substr(option.name.rfind(' ') + 1);
        std::vector<std::string> args{name};
        if (!option.argument.empty()) {
            args.push_back("x");
        }
        auto line = parseCommandLine(args);
        if (!line) {
            EXPECT_EQ(line.error().message.rfind("unknown option", 0), std::string::npos) << name;
        }
        EXPECT_NE(usageText().find(name), std::string::npos) << name;
        if (option.inConfigFile) {
            const std::string path =
                write(dir, "one.conf",
                      configKey(option) + " = " + (option.argument.empty() ? "true" : "x") + "\n");
            auto fromFile = parseCommandLine({"--config", path});
            if (!fromFile) {
                EXPECT_EQ(fromFile.error().message.find("unknown setting"), std::string::npos)
                    << name;
            }
        }
    }
}

} // namespace
} // namespace velloq::server
