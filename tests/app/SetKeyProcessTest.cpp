#include "fakes/ChildProcess.h"
#include "fakes/PrivateKeyring.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using velloq::testing::ChildProcess;

namespace {

class SetKeyProcessTest : public velloq::testing::PrivateKeyringTest {
protected:
    struct Run {
        int status;
        std::string out;
    };
    static Run run(const std::vector<std::string>& argv, const std::string& input = {}) {
        ChildProcess child(argv, {}, input);
        const auto status = child.wait(20s);
        return {status.value_or(-1), child.output()};
    }
    static Run setKey(const std::string& input) { return run({VELLOQ_BINARY, "set-key"}, input); }
    // What the keyring holds for the API-key item, as another client sees it.
    static std::vector<std::string> storedItems() {
        const auto listing = run({"/usr/bin/secret-tool", "search", "--all", "--unlock", "service",
                                  "dev.ordwin.velloq", "account", "apiKey"});
        std::vector<std::string> secrets;

        const std::string marker = "secret = ";
        for (std::size_t at = listing.out.find(marker); at != std::string::npos;
             at = listing.out.find(marker, at + 1)) {
            const auto end = listing.out.find('\n', at);
            secrets.push_back(listing.out.substr(at + marker.size(), end - at - marker.size()));
        }
        return secrets;
    }
};

} // namespace

TEST_F(SetKeyProcessTest, SavesTrimmedReplacesAndDeletesInTheRealKeyring) {
    auto saved = setKey("  sk-first \n");
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(storedItems(), (std::vector<std::string>{"sk-first"}));

    EXPECT_EQ(setKey("sk-second").status, 0);
    EXPECT_EQ(storedItems(), (std::vector<std::string>{"sk-second"})) << "one item, second value";

    auto removed = setKey(" \n");
    EXPECT_EQ(removed.status, 0);
    EXPECT_EQ(removed.out, "API key removed.\n");
    EXPECT_TRUE(storedItems().empty());
}
