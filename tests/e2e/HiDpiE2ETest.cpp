// The velloq binary on two monitors at 200 %, as a desktop scaled to 200 %
// tells the toolkit: the displays touch in points, the whole desktop is the
// two monitors' pixels side by side, and a drag across the seam gives exactly
// the pixels under it.

#include "e2e/CaptureChecks.h"
#include "fakes/TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace velloq::testing;

TEST(HiDpiE2ETest, DoubleScaleDesktopHasNoHoleAndADragAcrossTheSeamIsPixelExact) {
    // DUMMY0 1920 × 1080 and DUMMY1 1280 × 1024 to its right, both at 200 %.
    const auto session = DesktopSession::start({}, "DUMMY0=2;DUMMY1=2");
    VELLOQ_REQUIRE_SERVER(session);
    const X11TestWindow pattern(session->display(), seamPattern);

    const auto [listed, displays] = session->runVelloq({"displays"});
    ASSERT_EQ(listed, 0) << session->velloqLog();
    std::istringstream lines(displays);
    std::string first;
    std::string second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_NE(first.find(" DUMMY0 0,0,960,540 2 primary"), std::string::npos) << displays;
    EXPECT_NE(second.find(" DUMMY1 960,28,640,512 2"), std::string::npos)
        << "flush against DUMMY0, its top level with DUMMY0's\n"
        << displays;

    const TempDir folder;
    const auto file = (folder.path() / "all.png").string();
    const auto [captured, path] = session->runVelloq({"capture", "--all", "--output", file});
    ASSERT_EQ(captured, 0) << path << session->velloqLog();
    QImage all(QString::fromStdString(file));
    EXPECT_EQ(all.size(), QSize(3200, 1080)) << "the monitors' pixels side by side";

    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1800, 150, 2100, 350);
    const auto link = session->linkAfter();
    ASSERT_FALSE(link.empty()) << session->velloqLog();
    const QImage region = decoded(session->server().download(link));
    ASSERT_EQ(region.size(), QSize(300, 200));
    EXPECT_FALSE(region.hasAlphaChannel()) << "nothing transparent where DUMMY1 is";
    EXPECT_EQ(patternMismatches(region, pattern, 1800, 150), 0);
}
