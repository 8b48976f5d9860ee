#include "net/StatusService.h"

#include "NetFixture.h"

#include <gtest/gtest.h>

using velloq::StatusService;
using velloq::TaskPool;
using velloq::testing::FakeHttp;
using Status = StatusService::Status;
using namespace std::chrono_literals;

namespace {

class StatusServiceTest : public velloq::testing::NetFixture {
protected:
    ~StatusServiceTest() override { pool.shutdown(); }

    void answer(int status) {
        platform.http.setHandler([status](const auto&) { return FakeHttp::respond(status); });
    }
    // Lets the probes in flight finish and their outcome reach the main thread.
    void settle() {
        pool.waitIdle();
        platform.loop.runPending();
    }
    Status probeOnce(int status) {
        answer(status);
        service.check();
        settle();
        return service.status();
    }

    TaskPool pool{2};
    StatusService service{pool};
};

} // namespace

TEST_F(StatusServiceTest, OnlyTwoHundredsAreOnlineAndObserversHearEveryProbeOnTheMainThread) {
    std::vector<Status> seen;
    const auto handle = service.addObserver([&](Status s) { seen.push_back(s); });
    answer(204);
    service.check();
    pool.waitIdle();
    EXPECT_EQ(service.status(), Status::unknown) << "the answer waits for the main thread";
    EXPECT_TRUE(seen.empty());
    platform.loop.runPending();
    EXPECT_EQ(service.status(), Status::online);

    EXPECT_TRUE(platform.http.requests().at(0).headers.empty()) << "the key is never sent";

    EXPECT_EQ(probeOnce(503), Status::offline);
    EXPECT_EQ(probeOnce(503), Status::offline);
    EXPECT_EQ(probeOnce(299), Status::online);
    service.removeObserver(handle);
    for (int status : {404, 301, 500}) {
        EXPECT_EQ(probeOnce(status), Status::offline) << status;
    }
    EXPECT_EQ(probeOnce(200), Status::online);
    platform.http.setHandler([](const auto&) {
        return FakeHttp::fail(velloq::platform::TransportErrorKind::cannotConnectToHost);
    });
    service.check();
    settle();
    EXPECT_EQ(service.status(), Status::offline);
    EXPECT_EQ(seen, (std::vector<Status>{Status::online, Status::offline, Status::offline,
                                         Status::online}))
        << "every probe is heard, changed or not, until the observer leaves";
}

TEST_F(StatusServiceTest, StartProbesNowAndEveryThirtySecondsOnce) {
    answer(204);
    service.start();
    service.start();
    settle();
    EXPECT_EQ(platform.http.requests().size(), 1u) << "one immediate probe";
    EXPECT_EQ(platform.loop.pendingTimers(), 1u) << "one timer";

    answer(503);
    platform.loop.advance(29s);
    settle();
    EXPECT_EQ(platform.http.requests().size(), 1u);
    EXPECT_EQ(service.status(), Status::online);
    platform.loop.advance(1s);
    settle();
    EXPECT_EQ(platform.http.requests().size(), 2u);
    EXPECT_EQ(service.status(), Status::offline);
    platform.loop.advance(60s);
    settle();
    EXPECT_EQ(platform.http.requests().size(), 4u);
}

TEST_F(StatusServiceTest, AnUnusableAddressOrAGoneServiceChangesNothing) {
    setBase("https://bad host");
    service.check();
    settle();
    EXPECT_TRUE(platform.http.requests().empty());
    EXPECT_EQ(service.status(), Status::unknown);

    setBase(velloq::testing::kTestBase);
    answer(204);
    {
        StatusService shortLived(pool);
        shortLived.start();
        pool.waitIdle();
    }
    platform.loop.runPending(); // must not touch the destroyed service
    EXPECT_EQ(platform.loop.pendingTimers(), 0u) << "its timer went with it";
}
