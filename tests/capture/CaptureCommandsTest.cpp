#include "app/CaptureCommands.h"

#include "app/CommandLine.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "support/Monitors.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <QImage>
#include <sstream>

using namespace velloq;

using velloq::testing::monitor;

namespace {

// Sets a variable for one scope, then puts back what was there.
struct ScopedEnv {
    ScopedEnv(const char* variable, const std::string& value) : name(variable) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { previous ? ::setenv(name, previous->c_str(), 1) : ::unsetenv(name); }
    const char* name;
    std::optional<std::string> previous;
};

} // namespace

TEST(CaptureCommandLine, ReadsEachModeAndTheOutput) {
    auto invocation =
        parseCommandLine({"capture", "--region", "-10,20.5,300,200", "--output", "a.png"});
    ASSERT_EQ(invocation.command, Command::capture) << invocation.problem;
    EXPECT_EQ(invocation.capture.mode, CaptureOptions::Mode::region);
    EXPECT_EQ(invocation.capture.region, (geometry::Rect{-10, 20.5, 300, 200}));
    EXPECT_EQ(invocation.capture.output, "a.png");
    invocation = parseCommandLine({"capture", "--display", "0x4e"});
    EXPECT_EQ(invocation.capture.mode, CaptureOptions::Mode::display);
    EXPECT_EQ(invocation.capture.displayID, 0x4eu);
    EXPECT_EQ(parseCommandLine({"capture", "--all"}).capture.mode, CaptureOptions::Mode::all);
    EXPECT_EQ(parseCommandLine({"displays"}).command, Command::displays);
}

TEST(CaptureCommandLine, RefusesMissingConflictingAndMalformedArguments) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"capture"},
             {"capture", "--all", "--display", "1"},
             {"capture", "--display"},
             {"capture", "--display", "-1"},
             {"capture", "--display", "4294967296"},
             {"capture", "--display", "12abc"},
             {"capture", "--region", "1,2,3"},
             {"capture", "--region", "1,2,0,4"},
             {"capture", "--region", "1,2,3,4,"},
             {"capture", "--region", "1,2,nan,4"},
             {"capture", "--all", "--output"},
             {"capture", "--all", "--frobnicate"},
             {"displays", "--all"},
         }) {
        const auto invocation = parseCommandLine(args);
        EXPECT_EQ(invocation.command, Command::invalid) << args.back();
        EXPECT_FALSE(invocation.problem.empty());
    }
}

class CaptureCommandsTest : public ::testing::Test {
protected:
    CaptureCommandsTest() {
        // A 2x primary of 400 x 300 points and a 1x display left of it.
        platform.screens.monitorList = {monitor(78, "MAIN", {640, 0, 800, 600}, 2, true),
                                        monitor(79, "SIDE", {0, 0, 640, 480})};
    }
    int run(const CaptureOptions& options) {
        out.str({});
        err.str({});
        return runCapture(options, out, err);
    }
    velloq::testing::FakePlatform platform;
    velloq::testing::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CaptureCommandsTest, DisplaysListsPrimaryFirstWithFrameAndScale) {
    std::ostringstream list;
    EXPECT_EQ(runDisplays(list, err), 0);
    EXPECT_EQ(list.str(), "78 MAIN 0,0,400,300 2 primary\n"
                          "79 SIDE -640,-180,640,480 1\n");
    platform.screens.failMonitors = platform::ScreensError{{}, "cannot open the X display"};
    EXPECT_EQ(runDisplays(list, err), 1);
    EXPECT_NE(err.str().find("cannot open the X display"), std::string::npos);
}

TEST_F(CaptureCommandsTest, RegionAndDisplayAreWrittenInPixelsAndFailuresSayWhy) {
    CaptureOptions options;
    options.mode = CaptureOptions::Mode::region;
    options.region = {10, 20, 100, 50}; // on the 2x primary: 200 x 100 pixels
    options.output = (dir.path() / "region.png").string();
    ASSERT_EQ(run(options), 0) << err.str();
    EXPECT_EQ(out.str(), options.output + "\n");
    const QImage written(QString::fromStdString(options.output));
    ASSERT_EQ(written.size(), QSize(200, 100));
    EXPECT_FALSE(written.hasAlphaChannel()) << "a region inside one display is opaque";
    // Top-left of the region: global (10, 70) is primary pixel (20, 460), root (660, 460).
    EXPECT_EQ(written.pixel(0, 0), velloq::testing::FakeScreens::patternAt(660, 460));

    options.mode = CaptureOptions::Mode::display;
    options.displayID = 79;
    options.output = (dir.path() / "side.png").string();
    ASSERT_EQ(run(options), 0) << err.str();
    EXPECT_EQ(QImage(QString::fromStdString(options.output)).size(), QSize(640, 480));

    options.displayID = 5;
    EXPECT_EQ(run(options), 1);
    EXPECT_NE(err.str().find("no display with id 5"), std::string::npos);

    options.mode = CaptureOptions::Mode::region;
    options.region = {5000, 0, 10, 10};
    EXPECT_EQ(run(options), 1);
    EXPECT_NE(err.str().find("outside every display"), std::string::npos);

    options.mode = CaptureOptions::Mode::all;
    options.output = (dir.path() / "missing-folder" / "all.png").string();
    platform.files.failWrites = true;
    EXPECT_EQ(run(options), 1);
    EXPECT_TRUE(out.str().empty()) << "no path printed for a file that was not written";
}

TEST_F(CaptureCommandsTest, DefaultFileGoesToThePicturesFolderUnderAFreshName) {
    const auto config = dir.path() / "config";
    std::filesystem::create_directories(config);
    std::ofstream(config / "user-dirs.dirs") << "# comment\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    ScopedEnv home("HOME", dir.path().string());
    ScopedEnv xdg("XDG_CONFIG_HOME", config.string());
    ::unsetenv("XDG_PICTURES_DIR");
    const std::time_t when = 1'700'000'000;
    const auto first = defaultCapturePath(when);
    EXPECT_EQ(first.parent_path(), dir.path() / "Bilder");
    EXPECT_EQ(first.extension(), ".png");
    std::filesystem::create_directories(first.parent_path());
    std::ofstream(first) << "taken";
    const auto second = defaultCapturePath(when);
    EXPECT_NE(second, first) << "an existing capture is never overwritten";

    std::filesystem::remove(config / "user-dirs.dirs");
    EXPECT_EQ(defaultCapturePath(when).parent_path(), dir.path() / "Pictures");

    CaptureOptions options; // --all, no --output
    ASSERT_EQ(run(options), 0) << err.str();
    const std::filesystem::path written(out.str().substr(0, out.str().size() - 1));
    EXPECT_EQ(written.parent_path(), dir.path() / "Pictures");
    EXPECT_TRUE(std::filesystem::exists(written));
}
