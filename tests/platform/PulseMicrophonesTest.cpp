#include "platform/pulse/PulseMicrophones.h"

#include "platform/pulse/PulseProbe.h"
#include "platform/x11/X11Permissions.h"
#include "support/PulseServer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace velloq::platform {
namespace {

using testing::PulseServer;

std::int64_t steadyNowNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What a capture delivered in its first moments.
struct Captured {
    std::mutex mutex;
    std::size_t samples = 0;
    float peak = 0;
    int blocks = 0;
    bool ordered = true;
    bool stampsRecent = true;
    std::int64_t lastEnd = 0;
};

// One server for the whole story: its microphones, then the errors, then the
// server losing its microphones and finally going away. Without privacy
// prompts the microphone counts as allowed exactly when a sound server answers
// and has something to record from.
TEST(PulseMicrophones, ListsOnlyMicrophonesAndAllowsThemWhileTheServerHasOne) {
    auto server = PulseServer::start();
    ASSERT_TRUE(server);
    auto microphones = makePulseMicrophones();
    X11Permissions permissions(microphoneAvailable);
    EXPECT_TRUE(permissions.microphone());

    for (const char* chosen : {PulseServer::silentSource, PulseServer::toneSource}) {
        ASSERT_EQ(server->pactl({"set-default-source", chosen}), 0);
        const MicrophoneList list = microphones->list();
        std::vector<std::string> ids;
        for (const auto& device : list.devices) {
            ids.push_back(device.id);
            EXPECT_FALSE(device.name.empty());
            EXPECT_NE(device.name, device.id) << "the description is what the user sees";
        }
        EXPECT_EQ(ids,
                  (std::vector<std::string>{PulseServer::toneSource, PulseServer::silentSource}));
        EXPECT_EQ(list.defaultId, std::optional<std::string>(chosen));
    }
    // An output's monitor as the default is no microphone, so there is no default.
    ASSERT_EQ(
        server->pactl({"set-default-source", std::string(PulseServer::outputSink) + ".monitor"}),
        0);
    EXPECT_EQ(microphones->list().defaultId, std::nullopt);

    const auto ignore = [](const AudioBlock&) {};
    auto missing = microphones->open("velloq_no_such_source", 44100, ignore);
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error(), MicrophoneError::noDevice);
    auto badRate = microphones->open(PulseServer::toneSource, 0, ignore);
    ASSERT_FALSE(badRate.has_value());
    EXPECT_EQ(badRate.error(), MicrophoneError::streamFailed);

    // Only an output's monitor left: a server that answers, but no microphone.
    ASSERT_EQ(server->pactl({"unload-module", "module-remap-source"}), 0);
    ASSERT_EQ(server->pactl({"unload-module", "module-null-source"}), 0);
    EXPECT_TRUE(soundServerAnswers());
    EXPECT_FALSE(permissions.microphone());

    // A server that went away, and never one found elsewhere on this machine.
    const std::string gone = "unix:" + server->address().substr(5) + ".gone";
    server.reset();
    ::setenv("PULSE_SERVER", gone.c_str(), 1);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(microphones->list().devices.empty());
    auto noServer = microphones->open("", 44100, ignore);
    ASSERT_FALSE(noServer.has_value());
    EXPECT_EQ(noServer.error(), MicrophoneError::noServer);
    EXPECT_FALSE(permissions.microphone());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    ::unsetenv("PULSE_SERVER");
}

TEST(PulseMicrophones, CapturesMonoStampedOnTheMonotonicClock) {
    auto server = PulseServer::start();
    ASSERT_TRUE(server);
    constexpr int rate = 48000;
    Captured captured;
    auto stream =
        makePulseMicrophones()->open(PulseServer::toneSource, rate, [&](const AudioBlock& block) {
            std::lock_guard lock(captured.mutex);
            const std::int64_t now = steadyNowNanos();
            // Within the 40 ms the stamps may drift before they are re-read.
            captured.ordered =
                captured.ordered && block.firstSampleNanos >= captured.lastEnd - 40'000'000;
            captured.stampsRecent = captured.stampsRecent &&
                                    block.firstSampleNanos <= now + 40'000'000 &&
                                    block.firstSampleNanos > now - 500'000'000;
            captured.lastEnd = block.firstSampleNanos +
                               static_cast<std::int64_t>(block.count) * 1'000'000'000 / rate;
            captured.samples += block.count;
            ++captured.blocks;
            for (std::size_t i = 0; i < block.count; ++i) {
                captured.peak = std::max(captured.peak, std::fabs(block.samples[i]));
            }
        });
    ASSERT_TRUE(stream.has_value());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    stream->reset(); // no block may arrive after this
    const std::size_t afterStop = [&] {
        std::lock_guard lock(captured.mutex);
        return captured.samples;
    }();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard lock(captured.mutex);
    EXPECT_GT(captured.blocks, 10) << "blocks come in small pieces, not once a second";
    // One second of mono at the rate asked for, allowing for start-up.
    EXPECT_GT(captured.samples, rate * 6 / 10);
    EXPECT_LT(captured.samples, rate * 14 / 10);
    EXPECT_GT(captured.peak, 0.3f);
    EXPECT_LE(captured.peak, 1.0f);
    EXPECT_TRUE(captured.ordered);
    EXPECT_TRUE(captured.stampsRecent);
    EXPECT_EQ(captured.samples, afterStop);
}

} // namespace
} // namespace velloq::platform
