#include "platform/Platform.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class CountingSink final : public velloq::platform::LogSink {
public:
    void write(std::string_view) override { lines.fetch_add(1); }
    std::atomic<int> lines{0};
};

} // namespace

// A worker logs while the main thread swaps the installed services, as a test
// does between cases: each line reaches one whole set, and nothing races.
TEST(PlatformServicesTest, AWorkerLogsSafelyWhileTheMainThreadInstalls) {
    CountingSink first;
    CountingSink second;
    velloq::platform::Services a;
    a.log = &first;
    velloq::platform::Services b;
    b.log = &second;
    const auto previous = velloq::platform::install(a);

    constexpr int kLines = 5'000;
    std::atomic<bool> done{false};
    std::thread worker([&done] {
        for (int i = 0; i < kLines; ++i) {
            velloq::logLine("Velloq: worker line");
        }
        done = true;
    });
    for (int i = 0; !done.load() && i < 100'000; ++i) {
        velloq::platform::install(i % 2 == 0 ? b : a);
    }
    worker.join();
    velloq::platform::install(previous);
    EXPECT_EQ(first.lines + second.lines, kLines) << "every line reached exactly one sink";
}

TEST(PlatformServicesDeathTest, OnlyTheFirstInstallingThreadMayInstall) {
    velloq::platform::install(velloq::platform::installed());
    EXPECT_DEATH(
        {
            std::thread other([] { velloq::platform::install(velloq::platform::installed()); });
            other.join();
        },
        "installed from a second thread");
}
