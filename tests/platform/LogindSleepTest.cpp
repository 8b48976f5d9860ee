#include "platform/dbus/LogindSleep.h"

#include "EventLoop.h"
#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <stdlib.h>
#include <thread>

using namespace velloq;
namespace vt = velloq::testing;
using namespace std::chrono_literals;

namespace {

// A system bus of our own: the same rules for everyone, so a test client may
// own logind's name.
constexpr const char* busConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=SOCKET</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow receive_sender="*"/>
    <allow send_type="signal"/>
  </policy>
</busconfig>
)";

class LogindSleepTest : public ::testing::Test {
protected:
    void SetUp() override {
        vt::coreApp();
        const auto socket = (folder.path() / "system_bus_socket").string();
        std::string config = busConfig;
        config.replace(config.find("SOCKET"), 6, socket);
        std::ofstream(folder.path() / "system.conf") << config;
        busDaemon = std::make_unique<vt::ChildProcess>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--nofork",
                                     "--config-file=" + (folder.path() / "system.conf").string()},
            std::map<std::string, std::string>{});
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) {
            std::this_thread::sleep_for(20ms);
        }
        ASSERT_TRUE(std::filesystem::exists(socket)) << busDaemon->errors();
        address = "unix:path=" + socket;
        // The product's connection is the process's system bus.
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    }

    // A separate client of the bus, named `name`.
    QDBusConnection client(const char* name) {
        return QDBusConnection::connectToBus(QString::fromStdString(address), name);
    }

    static void send(QDBusConnection& from, bool starting) {
        auto signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                 QStringLiteral("org.freedesktop.login1.Manager"),
                                                 QStringLiteral("PrepareForSleep"));
        signal << starting;
        ASSERT_TRUE(from.send(signal));
    }

    vt::TempDir folder;
    std::unique_ptr<vt::ChildProcess> busDaemon;
    std::string address;
};

TEST_F(LogindSleepTest, OnlyLogindsAnnouncementOfSleepCounts) {
    platform::LogindSleep sleep;
    ASSERT_TRUE(sleep.watching());
    int announced = 0;
    sleep.setOnSleep([&] { ++announced; });

    auto impostor = client("impostor");
    auto logind = client("logind");
    ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));
    // Let the product's connection learn the name's new owner first.
    vt::spinFor(300ms);

    send(impostor, true);
    send(logind, false); // waking up
    send(logind, true);
    EXPECT_TRUE(vt::spinUntil([&] { return announced >= 1; }));
    vt::spinFor(300ms); // anything late would arrive by now
    EXPECT_EQ(announced, 1) << "the impostor's signal and the wake-up do not count";

    sleep.setOnSleep({});
    send(logind, true);
    vt::spinFor(300ms);
    EXPECT_EQ(announced, 1);
}

} // namespace
