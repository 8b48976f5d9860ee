#pragma once

#include <functional>

namespace velloq {

// The application's launch and terminate sequences.
class AppDelegate {
public:
    // Runs once at start-up, in order: the single-instance guard (a second copy
    // quits), the screen capture preflight with a refresh of the permission flags,
    // the start of the service health probe. Returns false when this copy is quitting.
    bool applicationDidFinishLaunching();
    // Runs once as the application quits.
    void applicationWillTerminate();

    // Starts the periodic health probe of the sharing service.
    std::function<void()> startHealthProbe;

    // What the capture and record hotkeys run.
    std::function<void()> captureAction;
    std::function<void()> recordAction;
};

} // namespace velloq
