// The health probe and the update check against real servers.

#include "fakes/TempDir.h"
#include "IntegrationFixture.h"
#include "net/StatusService.h"
#include "net/UpdateCheck.h"

#include <fstream>
#include <gtest/gtest.h>

using velloq::StatusService;
using velloq::TaskPool;
using velloq::testing::ReferenceServer;
using Status = StatusService::Status;
namespace UpdateCheck = velloq::UpdateCheck;

namespace {

class StatusIntegrationTest : public velloq::testing::IntegrationFixture {
protected:
    StatusIntegrationTest() { platform.http.setHandler({}); }
    ~StatusIntegrationTest() override { pool.shutdown(); }

    Status probe() {
        // The probe uses the installed HTTP service: the real one here.
        auto services = velloq::platform::installed();
        services.http = curl.get();
        velloq::platform::install(services);
        service.check();
        pool.waitIdle();
        platform.loop.runPending();
        return service.status();
    }

    TaskPool pool{1};
    StatusService service{pool};
};

} // namespace

TEST_F(StatusIntegrationTest, HealthyIsOnlineAndAnythingElseOrNoServerOffline) {
    EXPECT_EQ(probe(), Status::online);
    for (const char* status : {"503", "301"}) { // the rest of the mapping is the unit test's
        server.fault("healthz", std::string(R"({"times":1,"status":)") + status + "}");
        EXPECT_EQ(probe(), Status::offline) << status;
    }
    EXPECT_EQ(probe(), Status::online);

    useClosedPort();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(probe(), Status::offline);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << "at once";
}

TEST(UpdateIntegrationTest, ServedManifestsDecideTheResult) {
    velloq::testing::FakePlatform platform;
    velloq::testing::TempDir manifests;
    const auto check = [&](std::vector<std::string> arguments) {
        ReferenceServer server({false, std::move(arguments)});
        ::setenv("VELLOQ_SERVICE_URL", server.baseURL().c_str(), 1);
        velloq::platform::CurlHttp http{std::filesystem::path(server.caFile())};
        auto result = UpdateCheck::checkForUpdates(http);
        ::unsetenv("VELLOQ_SERVICE_URL");
        return result;
    };
    const auto manifest = manifests.path() / "manifest.json";
    std::ofstream(manifest)
        << R"({"latest":"999.1","url":"https://get.test/velloq","notes":"New things."})";
    auto newer = check({"--manifest", manifest.string()});
    ASSERT_EQ(newer.kind, UpdateCheck::Result::Kind::available);
    EXPECT_EQ(*newer.manifest,
              (UpdateCheck::Manifest{"999.1", "https://get.test/velloq", "New things.", {}}));
    EXPECT_EQ(check({}).kind, UpdateCheck::Result::Kind::error) << "nothing published: 404";
}
