#include "net/StatusService.h"

#include "NetFixture.h"

#include <gtest/gtest.h>

using velloq::StatusService;
using velloq::TaskPool;
using velloq::testing::FakeHttp;
using Status = StatusService::Status;
using Kind = velloq::platform::TransportErrorKind;
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

TEST_F(StatusServiceTest, UnknownUntilTheFirstProbeLands) {
    answer(204);
    std::vector<Status> seen;
    service.addObserver([&](Status s) { seen.push_back(s); });
    service.start();
    pool.waitIdle();
    EXPECT_EQ(service.status(), Status::unknown) << "the answer waits for the main thread";
    EXPECT_TRUE(seen.empty());
    platform.loop.runPending();
    EXPECT_EQ(service.status(), Status::online);
    EXPECT_EQ(seen, std::vector<Status>{Status::online});
}

TEST_F(StatusServiceTest, OnlyTwoHundredsAreOnline) {
    EXPECT_EQ(probeOnce(200), Status::online);
    EXPECT_EQ(probeOnce(503), Status::offline);
    EXPECT_EQ(probeOnce(299), Status::online);
    EXPECT_EQ(probeOnce(404), Status::offline);
    EXPECT_EQ(probeOnce(204), Status::online);
    EXPECT_EQ(probeOnce(301), Status::offline);
    EXPECT_EQ(probeOnce(500), Status::offline);
    platform.http.setHandler([](const auto&) { return FakeHttp::fail(Kind::cannotConnectToHost); });
    service.check();
    settle();
    EXPECT_EQ(service.status(), Status::offline);
}

TEST_F(StatusServiceTest, TheProbeIsAPlainGetWithAFiveSecondLimit) {
    probeOnce(204);
    const auto requests = platform.http.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].url, std::string(velloq::testing::kTestBase) + "/healthz");
    EXPECT_TRUE(requests[0].headers.empty()) << "no key, nothing else";
    EXPECT_EQ(requests[0].body, std::nullopt);
    EXPECT_EQ(requests[0].idleTimeout, 5s);
    EXPECT_EQ(requests[0].totalTimeout, 5s);
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

TEST_F(StatusServiceTest, ObserversHearEveryProbeEvenWithoutAChange) {
    std::vector<Status> seen;
    const auto handle = service.addObserver([&](Status s) { seen.push_back(s); });
    probeOnce(503);
    probeOnce(503);
    service.removeObserver(handle);
    probeOnce(204);
    EXPECT_EQ(seen, (std::vector<Status>{Status::offline, Status::offline}));
}

TEST_F(StatusServiceTest, AnUnusableAddressLeavesTheStatusAlone) {
    setBase("https://bad host");
    service.check();
    settle();
    EXPECT_TRUE(platform.http.requests().empty());
    EXPECT_EQ(service.status(), Status::unknown);
}

TEST_F(StatusServiceTest, AnAnswerForAServiceThatIsGoneIsDropped) {
    answer(204);
    {
        StatusService shortLived(pool);
        shortLived.start();
        pool.waitIdle();
    }
    platform.loop.runPending(); // must not touch the destroyed service
    EXPECT_EQ(platform.loop.pendingTimers(), 0u) << "its timer went with it";
}
