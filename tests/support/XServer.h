#pragma once

// A private X server for one test or benchmark: Xorg with the dummy video
// driver, whose RandR outputs make real multi-monitor layouts, or Xvfb for
// servers without some extension; optionally openbox to manage windows.
// Everything it started stops when the object goes, or with the test process.

#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::testing {

struct WindowState {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool viewable = false;
};

// Reserved strips at the monitors' top and bottom, which shrink the work area.
struct Margins {
    int top = 0;
    int bottom = 0;
};

class XServer {
public:
    // None when the server cannot start here (no Xorg, no dummy driver, not allowed).
    static std::unique_ptr<XServer> startXorgDummy();
    static std::unique_ptr<XServer> startXvfb(const std::vector<std::string>& extraArguments);

    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }
    // Runs a client program (full path) against this server; its exit status.
    int run(const std::vector<std::string>& argv) const;
    // Runs a client program to completion; what it printed.
    std::string output(const std::vector<std::string>& argv) const;
    // Adds a mode for `width` × `height` and turns `output` on with it.
    bool setOutput(const std::string& output, int width, int height,
                   const std::vector<std::string>& placement) const;
    // Starts openbox and waits until it manages the screen with these margins.
    bool startWindowManager(Margins margins = {});
    const std::filesystem::path& folder() const { return folder_.path(); }

    // The window's place on the root window; none once it no longer exists.
    std::optional<WindowState> window(unsigned long id) const;
    unsigned long activeWindow() const;
    unsigned long focusedWindow() const;

private:
    XServer() = default;
    bool waitForDisplay();

    TempDir folder_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> windowManager_;
    std::string display_;
};

// Whether a test that needs an X server may skip when it cannot have one:
// CI sets VELLOQ_REQUIRE_DISPLAY=1 so that a missing server fails instead.
bool displayRequired();

} // namespace velloq::testing

// Skips (or fails under CI) the current test when `server` did not start.
#define VELLOQ_REQUIRE_SERVER(server)                                                              \
    do {                                                                                           \
        if (!(server)) {                                                                           \
            if (::velloq::testing::displayRequired()) {                                            \
                FAIL() << "no X server could be started";                                          \
            }                                                                                      \
            GTEST_SKIP() << "no X server here";                                                    \
        }                                                                                          \
    } while (false)
