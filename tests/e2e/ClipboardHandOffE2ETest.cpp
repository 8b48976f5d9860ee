// The link on the clipboard outlives velloq: on exit the clipboard goes to
// the desktop's clipboard manager (the freedesktop SAVE_TARGETS convention),
// here xfsettingsd's, which then serves it in velloq's place.

#include "e2e/CaptureChecks.h"
#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <X11/Xlib.h>

using namespace velloq::testing;

namespace {

struct DisplayClose {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// Who owns `selection` on the display right now; None when nobody does.
Window ownerOf(const std::string& display, const char* selection) {
    std::unique_ptr<Display, DisplayClose> connection(XOpenDisplay(display.c_str()));
    if (!connection) {
        return None;
    }
    return XGetSelectionOwner(connection.get(), XInternAtom(connection.get(), selection, False));
}

// xfsettingsd's settings daemon, started here rather than by D-Bus so that
// it keeps its files in `config` and ends with the test.
std::string xfconfd() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib", ec)) {
        const auto path = entry.path() / "xfce4" / "xfconf" / "xfconfd";
        if (std::filesystem::exists(path, ec)) {
            return path.string();
        }
    }
    return "/usr/lib/xfce4/xfconf/xfconfd";
}

bool busNameOwned(const char* name) {
    ChildProcess query({"/usr/bin/dbus-send", "--session", "--print-reply",
                        "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                        "org.freedesktop.DBus.NameHasOwner", std::string("string:") + name},
                       {});
    return query.wait(std::chrono::seconds(5)) == 0 &&
           query.output().find("boolean true") != std::string::npos;
}

} // namespace

TEST(ClipboardHandOffE2ETest, TheLinkStaysOnTheClipboardAfterVelloqQuits) {
    auto session = DesktopSession::start({});
    VELLOQ_REQUIRE_SERVER(session);
    TempDir config;
    const std::map<std::string, std::string> environment{
        {"DISPLAY", session->display()},
        {"XDG_CONFIG_HOME", config.path().string()},
        {"NO_AT_BRIDGE", "1"}};
    ChildProcess settings({xfconfd()}, environment);
    ASSERT_TRUE(eventually([] { return busNameOwned("org.xfce.Xfconf"); })) << settings.errors();
    ChildProcess manager({"/usr/bin/xfsettingsd", "--disable-wm-check", "--sm-client-disable"},
                         environment);
    ASSERT_TRUE(eventually([&] {
        return ownerOf(session->display(), "CLIPBOARD_MANAGER") != None;
    })) << manager.errors();

    ASSERT_TRUE(session->openOverlay()) << session->velloqLog();
    session->drag(1800, 150, 2100, 350);
    const auto link = session->linkAfter();
    ASSERT_FALSE(link.empty()) << session->velloqLog();
    const Window velloqOwned = ownerOf(session->display(), "CLIPBOARD");

    EXPECT_EQ(session->stopVelloq(SIGTERM), 0) << session->velloqLog();
    const Window after = ownerOf(session->display(), "CLIPBOARD");
    EXPECT_NE(after, None) << "nobody holds the clipboard";
    EXPECT_NE(after, velloqOwned);
    EXPECT_EQ(session->clipboard(), link);
}
