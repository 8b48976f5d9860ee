#pragma once

// What the tests against real X servers share: a real window system installed
// for one scope, two dummy outputs of different heights, and a pixel-exact
// comparison with a test window's pattern.

#include "fakes/FakePlatform.h"
#include "platform/x11/X11Screens.h"
#include "support/X11TestWindow.h"
#include "support/XServer.h"

#include <gtest/gtest.h>
#include <memory>
#include <QImage>
#include <string>

namespace velloq::testing {

class RealScreens {
public:
    explicit RealScreens(platform::Screens& screens) {
        auto services = platform::installed();
        services.screens = &screens;
        previous_ = platform::install(services);
    }
    ~RealScreens() { platform::install(previous_); }
    RealScreens(const RealScreens&) = delete;
    RealScreens& operator=(const RealScreens&) = delete;

private:
    platform::Services previous_;
};

// The first pixel where `image` differs from `window`'s pattern from `from` on,
// drawn at `at` with each window pixel covering `factor` × `factor` image
// pixels; empty when there is none.
inline std::string mismatch(const QImage& image, const X11TestWindow& window, QPoint at, QSize size,
                            int factor = 1, QPoint from = {}) {
    for (int y = 0; y < size.height() * factor; ++y) {
        for (int x = 0; x < size.width() * factor; ++x) {
            const QRgb expected =
                0xff000000u | window.patternAt(from.x() + x / factor, from.y() + y / factor);
            const QRgb actual = image.pixel(at.x() + x, at.y() + y);
            if (actual != expected) {
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": " +
                       std::to_string(actual) + " instead of " + std::to_string(expected);
            }
        }
    }
    return {};
}

// `scale` for the monitor named `name`, 1 for every other.
inline platform::ScaleProvider scaleOf(std::string name, double scale) {
    return [name, scale](std::string_view monitor) { return monitor == name ? scale : 1.0; };
}

class X11CaptureFixture : public ::testing::Test {
protected:
    // DUMMY0 800x600 (primary) with the shorter DUMMY1 640x480 beside it.
    void startTwoDisplays(const char* placement = "--right-of") {
        server = XServer::startXorgDummy();
        if (server) {
            ASSERT_TRUE(server->setOutput("DUMMY0", 800, 600, {"--pos", "0x0", "--primary"}));
            ASSERT_TRUE(server->setOutput("DUMMY1", 640, 480, {placement, "DUMMY0"}));
        }
    }

    FakePlatform fakes;
    std::unique_ptr<XServer> server;
};

} // namespace velloq::testing
