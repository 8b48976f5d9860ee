#pragma once

// A real X desktop for tests: Xorg with the dummy driver laid out as two
// monitors, the primary one on the right, and openbox managing windows with a
// margin at the top and bottom so that the work area is smaller than the screen.

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

class DummyDesktop {
public:
    static constexpr int topMargin = 24;
    static constexpr int bottomMargin = 36;

    // Starts the server and the window manager and points DISPLAY at them;
    // the error says what failed.
    static std::unique_ptr<DummyDesktop> start(std::string& error);
    ~DummyDesktop();

    // Runs an X client program to completion and returns what it printed.
    std::string run(const std::vector<std::string>& argv) const;
    // The window's place on the root window; none once it no longer exists.
    std::optional<WindowState> window(unsigned long id) const;
    unsigned long activeWindow() const;
    unsigned long focusedWindow() const;

private:
    DummyDesktop() = default;

    TempDir dir_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> windowManager_;
};

} // namespace velloq::testing
