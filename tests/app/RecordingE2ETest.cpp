// The recording flow of the real velloq on a two-monitor Xorg with openbox,
// a private PulseAudio and the reference service, driven with xdotool as a
// user drives it: the record hotkey, the bars' buttons (found by their coral
// paint, as the eye finds them), a drag, the discard alert, logind's sleep
// announcement and a quit.

#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"
#include "recording/MovingPicture.h"
#include "support/DesktopSession.h"
#include "support/PulseServer.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <stdlib.h>
#include <thread>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace velloq::testing;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Box = DesktopSession::Box;

namespace {

constexpr std::int64_t partSize = 5 * 1024 * 1024;

// A system bus of our own, where the test may own logind's name.
class SystemBus {
public:
    SystemBus() {
        const auto socket = (folder_.path() / "socket").string();
        std::ofstream(folder_.path() / "system.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
               "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>system</type><listen>unix:path="
            << socket
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
               "<allow own=\"*\"/><allow send_destination=\"*\" eavesdrop=\"true\"/>"
               "<allow receive_sender=\"*\"/><allow send_type=\"signal\"/></policy></busconfig>\n";
        daemon_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--nofork",
                                     "--config-file=" + (folder_.path() / "system.conf").string()},
            std::map<std::string, std::string>{});
        eventually([&] { return fs::exists(socket); }, 5s);
        address_ = "unix:path=" + socket;
    }
    const std::string& address() const { return address_; }

    // Announces a suspend as logind does.
    bool announceSleep() {
        auto bus = QDBusConnection::connectToBus(QString::fromStdString(address_), "logind");
        if (!bus.isConnected() || !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
            return false;
        }
        // Let velloq's connection learn the name's owner before the signal comes.
        std::this_thread::sleep_for(300ms);
        auto signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                 QStringLiteral("org.freedesktop.login1.Manager"),
                                                 QStringLiteral("PrepareForSleep"));
        signal << true;
        return bus.send(signal);
    }

private:
    TempDir folder_;
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
};

class RecordingE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "recording-e2e";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) {
            new QCoreApplication(argc, argv); // for the bus client
        }
        // velloq inherits these: its temporary recordings, its Videos folder,
        // its sound server and its system bus are the test's own.
        fs::create_directories(home.path() / "tmp");
        ::setenv("TMPDIR", (home.path() / "tmp").c_str(), 1);
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
        pulse = PulseServer::start();
    }
    void TearDown() override {
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }

    void writeSettings(bool countIn) {
        std::ofstream(session->settingsFile())
            << "{\"editBeforeUpload\": false, \"playSound\": false, \"recordCountdown\": "
            << (countIn ? "true" : "false") << "}\n";
    }

    // Root pixels of one row.
    std::vector<std::uint32_t> row(int x, int y, int width) {
        std::vector<std::uint32_t> pixels;
        XImage* image =
            XGetImage(display, DefaultRootWindow(display), x, y, width, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return pixels;
        }
        for (int i = 0; i < width; ++i) {
            pixels.push_back(std::uint32_t(XGetPixel(image, i, 0)) & 0xffffffu);
        }
        XDestroyImage(image);
        return pixels;
    }

    // Runs of the brand's coral along a row of `box` just above the labels
    // of its buttons, root x ranges.
    std::vector<std::pair<int, int>> coralRuns(const Box& box) {
        const auto pixels = row(box.x, box.y + box.height / 2 - 13, box.width);
        const auto coral = [](std::uint32_t p) {
            const int r = int(p >> 16) & 255, g = int(p >> 8) & 255, b = int(p) & 255;
            return r > 235 && std::abs(g - 77) < 20 && std::abs(b - 65) < 20;
        };
        std::vector<std::pair<int, int>> runs;
        for (int i = 0; i < int(pixels.size()); ++i) {
            if (!coral(pixels[i])) {
                continue;
            }
            if (runs.empty() || runs.back().second != box.x + i) {
                runs.push_back({box.x + i, box.x + i});
            }
            ++runs.back().second;
        }
        return runs;
    }

    // velloq's floating windows other than the selection windows, those `wanted` picks.
    std::vector<Box> panels(const std::function<bool(const Box&)>& wanted = {}) {
        auto found = session->panels();
        std::erase_if(found,
                      [&](const Box& b) { return b.height >= 400 || (wanted && !wanted(b)); });
        return found;
    }
    std::optional<Box> waitPanel(const std::function<bool(const Box&)>& wanted,
                                 std::chrono::milliseconds limit = 15s) {
        std::vector<Box> found;
        eventually([&] { return !(found = panels(wanted)).empty(); }, limit);
        return found.empty() ? std::nullopt : std::optional(found.front());
    }
    static bool bottomCentre(const Box& b) {
        return b.y + b.height > 1000 && std::abs(b.x + b.width / 2 - 960) < 10;
    }
    static bool bottomRight(const Box& b) { return b.y + b.height > 1000 && b.x + b.width > 1850; }
    static bool atTop(const Box& b) { return b.y < 200 && b.x + b.width > 1500; }

    // The record hotkey until the pre-record bar shows; its Start button is
    // the rightmost coral of the bar.
    bool pressStart() {
        std::optional<Box> bar;
        for (int attempt = 0; attempt < 10 && !bar; ++attempt) {
            session->runClient({"/usr/bin/xdotool", "key", "ctrl+super+r"});
            bar = waitPanel(bottomCentre, 2s);
        }
        if (!bar) {
            return false;
        }
        std::vector<std::pair<int, int>> runs;
        eventually([&] {
            runs = coralRuns(*bar);
            return !runs.empty() && runs.back().second - runs.back().first > 60;
        });
        if (runs.empty()) {
            return false;
        }
        session->click((runs.back().first + runs.back().second) / 2, bar->y + bar->height / 2);
        return eventually(
            [&] { return session->windows("^Velloq recording selection$").size() == 2; });
    }

    // The recording bar, and its Stop button: the wide coral run.
    struct RecordingBar {
        Box box;
        int stopLeft = 0;
        int stopRight = 0;
        int middle() const { return box.y + box.height / 2; }
    };
    std::optional<RecordingBar> recordingBar() {
        std::optional<RecordingBar> found;
        eventually([&] {
            const auto box = waitPanel(bottomRight, 500ms);
            if (!box || box->width < 150) {
                return false;
            }
            for (const auto& [left, right] : coralRuns(*box)) {
                if (right - left > 40) {
                    found = RecordingBar{*box, left, right};
                }
            }
            return found.has_value();
        });
        return found;
    }
    // Pause and Resume share the 36-point square left of Stop; Discard is right of it.
    void clickPauseOrResume(const RecordingBar& bar) {
        session->click(bar.stopLeft - 22, bar.middle());
    }
    void clickDiscard(const RecordingBar& bar) { session->click(bar.stopRight + 22, bar.middle()); }
    // The pointer then leaves, so it does not rest on the card that comes.
    void clickStop(const RecordingBar& bar) {
        session->click((bar.stopLeft + bar.stopRight) / 2, bar.middle());
        session->runClient({"/usr/bin/xdotool", "mousemove", "960", "300"});
    }

    // The entries in `dir`, or anywhere below it, that `wanted` picks.
    static std::vector<fs::directory_entry>
    filesIn(const fs::path& dir, const std::function<bool(const fs::directory_entry&)>& wanted,
            bool below = false) {
        std::vector<fs::directory_entry> found;
        std::error_code ignored;
        for (fs::recursive_directory_iterator it(dir, ignored), end; it != end;
             it.increment(ignored)) {
            if (!below) {
                it.disable_recursion_pending();
            }
            if (wanted(*it)) {
                found.push_back(*it);
            }
        }
        return found;
    }
    static bool isVideo(const fs::directory_entry& entry) {
        return entry.path().extension() == ".mp4";
    }
    std::vector<fs::directory_entry> temporaryRecordings() {
        return filesIn(home.path() / "tmp", isVideo);
    }
    std::int64_t recordedBytes() {
        const auto files = temporaryRecordings();
        std::error_code gone;
        return files.empty() ? 0 : std::int64_t(files.front().file_size(gone));
    }
    // Parts the service holds for videos not completed yet.
    std::size_t pendingParts() {
        return filesIn(
                   session->server().dir(),
                   [](const auto& entry) { return entry.path().extension() == ".part"; }, true)
            .size();
    }
    // The service holds no upload still open, however the recording ended.
    bool nothingPending(std::chrono::milliseconds limit = 10s) {
        return eventually(
            [&] {
                return filesIn(
                           session->server().dir(),
                           [](const auto& entry) {
                               return entry.is_directory() &&
                                      entry.path().parent_path().filename() == "pending";
                           },
                           true)
                    .empty();
            },
            limit);
    }
    // No panel for a while: a card that times out hands over to a reminder
    // banner, with a moment of nothing between them.
    void waitQuiet() {
        auto quietSince = std::chrono::steady_clock::now();
        EXPECT_TRUE(eventually(
            [&] {
                if (!panels().empty()) {
                    quietSince = std::chrono::steady_clock::now();
                }
                return std::chrono::steady_clock::now() - quietSince > 1500ms;
            },
            20s))
            << "panels left over";
    }

    // From the hotkey to a recording of a region on the primary that has run
    // for a moment, with the count-in off.
    std::optional<RecordingBar> startQuickRecording() {
        if (!pressStart()) {
            return std::nullopt;
        }
        session->drag(1000, 600, 1400, 900);
        auto bar = recordingBar();
        std::this_thread::sleep_for(1500ms);
        return bar;
    }

    TempDir home;
    SystemBus bus;
    std::unique_ptr<PulseServer> pulse;
    std::unique_ptr<DesktopSession> session;
    Display* display = nullptr;
};

} // namespace

TEST_F(RecordingE2ETest, RecordHotkeyToLinkAndEveryWayARecordingEnds) {
    ASSERT_TRUE(pulse);
    session = DesktopSession::start({});
    VELLOQ_REQUIRE_SERVER(session);
    display = XOpenDisplay(session->display().c_str());
    ASSERT_NE(display, nullptr);
    writeSettings(true);

    {
        SCOPED_TRACE("hotkey, region, count-in, pause, stop: the link and the card");
        // Noise cannot be compressed, so parts fill while the whole primary
        // is recorded at its full bit rate; the drag ends on the other
        // display and is held to this one.
        MovingPicture noise(session->display(), {0, 0, 960, 540, 30, true});
        ASSERT_TRUE(pressStart()) << session->velloqLog();
        session->drag(0, 0, 2400, 1079);
        EXPECT_TRUE(waitPanel([](const Box& b) { return bottomRight(b) && b.width < 150; }, 3s))
            << "the count-in";
        const auto bar = recordingBar();
        ASSERT_TRUE(bar) << session->velloqLog();
        for (int i = 0; i < 900 && recordedBytes() < 2 * partSize; ++i) {
            std::this_thread::sleep_for(100ms);
        }
        clickPauseOrResume(*bar);
        std::this_thread::sleep_for(3s);
        clickPauseOrResume(*bar);
        std::this_thread::sleep_for(1s);
        // Every full part reaches the service while the recording runs. Stop
        // just past a part's end, so that what follows fits in one last part.
        EXPECT_TRUE(eventually(
            [&] {
                const auto bytes = recordedBytes();
                const auto full = std::size_t(bytes / partSize);
                return full >= 2 && bytes % partSize < 1'500'000 && pendingParts() >= full;
            },
            30s));
        const std::size_t partsBeforeStop = pendingParts();
        clickStop(*bar);

        const auto link = session->linkAfter({}, 30s);
        ASSERT_FALSE(link.empty()) << session->velloqLog();
        const auto files = temporaryRecordings();
        ASSERT_EQ(files.size(), 1u) << "the card holds the recording";
        const std::string local = fileContents(files.front().path());
        EXPECT_TRUE(session->server().downloadVideo(link) == local) << "served byte for byte";
        const std::size_t parts =
            std::size_t((std::int64_t(local.size()) + partSize - 1) / partSize);
        EXPECT_GE(parts, 3u);
        EXPECT_GT(partsBeforeStop * 2, parts) << "most parts went up while recording";
        // The video card: bottom right, its poster the recorded noise.
        const auto card = waitPanel(bottomRight, 5s);
        ASSERT_TRUE(card);
        std::vector<std::uint32_t> distinct;
        for (int k = 1; k < 10; ++k) {
            const auto pixels = row(card->x, card->y + k * card->height / 10, card->width);
            distinct.insert(distinct.end(), pixels.begin(), pixels.end());
        }
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        EXPECT_GT(distinct.size(), 60u) << "a poster of the noise";
        EXPECT_TRUE(nothingPending(0ms));
        waitQuiet();
        EXPECT_TRUE(eventually([&] { return temporaryRecordings().empty(); }, 5s))
            << "the card let its file go";
    }

    writeSettings(false);
    {
        SCOPED_TRACE("discard through the alert");
        const auto bar = startQuickRecording();
        ASSERT_TRUE(bar) << session->velloqLog();
        clickDiscard(*bar);
        EXPECT_TRUE(waitPanel([](const Box& b) { return b.y > 200 && b.y + b.height < 1000; }, 5s))
            << "the alert";
        std::this_thread::sleep_for(300ms);
        session->runClient({"/usr/bin/xdotool", "key", "Return"}); // "Discard" is the default
        EXPECT_TRUE(eventually([&] { return temporaryRecordings().empty(); }, 10s));
        EXPECT_TRUE(nothingPending()) << "aborted on the service";
        EXPECT_FALSE(waitPanel(atTop, 3s)) << "no banner";
        waitQuiet();
    }
    {
        SCOPED_TRACE("sleep");
        const auto bar = startQuickRecording();
        ASSERT_TRUE(bar) << session->velloqLog();
        ASSERT_TRUE(bus.announceSleep());
        EXPECT_TRUE(waitPanel(atTop, 10s)) << "the banner";
        EXPECT_TRUE(eventually([&] { return temporaryRecordings().empty(); }, 10s));
        EXPECT_TRUE(nothingPending());
        waitQuiet();
    }
    {
        SCOPED_TRACE("service failing at complete: kept in Videos");
        session->server().fault("complete", R"({"status":500,"times":1})");
        const auto bar = startQuickRecording();
        ASSERT_TRUE(bar) << session->velloqLog();
        clickStop(*bar);
        EXPECT_TRUE(waitPanel(atTop, 20s)) << "the banner";
        const auto videos = home.path() / "Videos" / "Velloq";
        const auto kept = [&] {
            return filesIn(videos, [](const auto& e) { return isVideo(e) && e.file_size() > 0; });
        };
        EXPECT_TRUE(eventually([&] { return kept().size() == 1; })) << session->velloqLog();
        EXPECT_NE(
            session->velloqLog().find("Velloq video: kept the recording at " + videos.string()),
            std::string::npos);
        EXPECT_TRUE(temporaryRecordings().empty());
        EXPECT_TRUE(nothingPending());
        waitQuiet();
    }
    {
        SCOPED_TRACE("quit while recording");
        ASSERT_TRUE(startQuickRecording()) << session->velloqLog();
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(session->stopVelloq(SIGTERM), 0);
        EXPECT_TRUE(temporaryRecordings().empty());
        EXPECT_TRUE(nothingPending(5s));
    }
}
