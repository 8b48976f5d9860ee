#pragma once

// Floating panels as real windows: Xorg (dummy driver) with a 1600 × 900
// secondary on the left, the 1920 × 1080 primary on its right and openbox
// keeping `panelDesktopMargins` free, shared by every test of a suite. Each
// test installs the X11 work area and floating windows and starts with a
// plain window holding the focus, as the user's work would.

#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"
#include "platform/x11/X11FloatingWindows.h"
#include "platform/x11/X11WorkArea.h"
#include "support/XServer.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QWidget>
#include <thread>

namespace velloq::testing {

inline constexpr Margins panelDesktopMargins{24, 36};

class PanelDesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (desktop() != nullptr) {
            return;
        }
        auto x = XServer::startXorgDummy();
        if (x && x->setOutput("DUMMY1", 1600, 900, {"--pos", "0x0"}) &&
            x->setOutput("DUMMY0", 1920, 1080, {"--pos", "1600x0", "--primary"}) &&
            x->startWindowManager(panelDesktopMargins)) {
            ::setenv("DISPLAY", x->display().c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            qtApp();
            desktop() = std::move(x);
        }
    }
    static std::unique_ptr<XServer>& desktop() {
        static std::unique_ptr<XServer> instance;
        return instance;
    }

    void SetUp() override {
        VELLOQ_REQUIRE_SERVER(desktop());
        auto services = platform::installed();
        services.workArea = &workArea;
        services.floatingWindows = &floating;
        addServices(services);
        previous = platform::install(services);
        focusTarget.setWindowTitle("focus target");
        focusTarget.resize(400, 300);
        focusTarget.show();
        focusTarget.activateWindow();
        ASSERT_TRUE(eventually([&] { return desktop()->activeWindow() == focusTarget.winId(); }))
            << "the test window never got the focus";
    }
    void TearDown() override {
        beforeTearDown();
        focusTarget.hide();
        settle();
        platform::install(previous);
    }
    virtual void addServices(platform::Services&) {}
    virtual void beforeTearDown() {}

    // Lets Qt and the X server exchange events until `condition` holds.
    template <class Condition> bool eventually(Condition condition) {
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
    void settle() {
        using namespace std::chrono_literals;
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            std::this_thread::sleep_for(10ms);
        }
    }

    FakePlatform fake; // the hand-driven clock
    platform::X11WorkArea workArea{[](std::string_view) { return 1.0; }};
    platform::X11FloatingWindows floating;
    platform::Services previous;
    QWidget focusTarget;
};

} // namespace velloq::testing
