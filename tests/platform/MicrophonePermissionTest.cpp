#include "platform/pulse/PulseProbe.h"
#include "platform/x11/X11Permissions.h"
#include "support/PulseServer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace velloq::platform {
namespace {

using testing::PulseServer;

// Without privacy prompts the microphone counts as allowed exactly when a
// sound server answers and has something to record from.
TEST(MicrophonePermission, NeedsAnAnsweringServerWithAMicrophone) {
    auto server = PulseServer::start();
    ASSERT_TRUE(server);
    X11Permissions permissions(microphoneAvailable);
    EXPECT_TRUE(permissions.microphone());

    // Only an output's monitor left: a server that answers, but no microphone.
    ASSERT_EQ(server->pactl({"unload-module", "module-remap-source"}), 0);
    ASSERT_EQ(server->pactl({"unload-module", "module-null-source"}), 0);
    EXPECT_TRUE(soundServerAnswers());
    EXPECT_FALSE(permissions.microphone());

    const std::string gone = "unix:" + server->address().substr(5) + ".gone";
    server.reset();
    ::setenv("PULSE_SERVER", gone.c_str(), 1);
    EXPECT_FALSE(permissions.microphone());
    ::unsetenv("PULSE_SERVER");
}

} // namespace
} // namespace velloq::platform
