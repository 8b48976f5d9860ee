// The level monitor against a real sound server: a tone, silence, a device
// that does not exist, and switching devices while it runs.

#include "recording/MicMonitor.h"

#include "fakes/FakePlatform.h"
#include "platform/pulse/PulseMicrophones.h"
#include "support/PulseServer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace velloq::recording {
namespace {

using testing::PulseServer;

class MicMonitorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server() = PulseServer::start(); }
    static void TearDownTestSuite() { server().reset(); }
    static std::unique_ptr<PulseServer>& server() {
        static std::unique_ptr<PulseServer> instance;
        return instance;
    }

    void SetUp() override { ASSERT_TRUE(server()) << "no PulseAudio daemon"; }

    // Lets real time pass in poll-sized steps, running the main thread's
    // posts and timers as it goes.
    void run(std::chrono::milliseconds span) {
        for (auto passed = std::chrono::milliseconds(0); passed < span;
             passed += MicMonitor::pollInterval) {
            std::this_thread::sleep_for(MicMonitor::pollInterval);
            platform.loop.runPending();
            platform.loop.advance(MicMonitor::pollInterval);
        }
    }

    testing::FakePlatform platform;
    std::unique_ptr<platform::Microphones> microphones = platform::makePulseMicrophones();
    TaskPool pool{1};
    std::vector<double> levels;
    std::function<void(double)> record = [this](double level) { levels.push_back(level); };
};

TEST_F(MicMonitorTest, ToneReadsHighAndSilenceReadsZero) {
    MicMonitor monitor(*microphones, pool);
    monitor.start(PulseServer::toneSource, record);
    run(std::chrono::milliseconds(800));
    ASSERT_GE(levels.size(), 5u) << "a level every 80 ms once the device is open";
    // A tone at half of full scale averages about −9 dB.
    EXPECT_NEAR(levels.back(), 0.85, 0.05);

    // Switching devices restarts cleanly: the silent one reads 0 from its first level.
    monitor.start(PulseServer::silentSource, record);
    levels.clear();
    run(std::chrono::milliseconds(800));
    ASSERT_GE(levels.size(), 5u);
    for (const double level : levels) {
        EXPECT_EQ(level, 0);
    }

    monitor.stop();
    monitor.stop();
    levels.clear();
    run(std::chrono::milliseconds(400));
    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(platform.loop.pendingTimers(), 0u);
}

TEST_F(MicMonitorTest, MissingDeviceAndStopsBeforeTheDeviceOpensLeaveNothingRunning) {
    {
        MicMonitor monitor(*microphones, pool);
        monitor.stop(); // before any start: nothing to do
        monitor.start("velloq_unplugged_microphone", record);
        run(std::chrono::milliseconds(800));
        EXPECT_TRUE(levels.empty()) << "a missing device stays silent";
        EXPECT_EQ(platform.loop.pendingTimers(), 0u);
        EXPECT_TRUE(platform.log.lines().empty());
        monitor.start(PulseServer::toneSource, record);
        monitor.stop();
        run(std::chrono::milliseconds(400));
        EXPECT_TRUE(levels.empty());
        monitor.start(PulseServer::toneSource, record);
    } // destroyed while the device opens
    run(std::chrono::milliseconds(400));
    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(platform.loop.pendingTimers(), 0u);
}

} // namespace
} // namespace velloq::recording
