#pragma once

// Gives the recording controller its real machinery for the tray
// application's whole run: the recorder with its streaming session on X11,
// FFmpeg and PulseAudio, the panels, the target selection, alerts, posters,
// click ripples, and the routes to the clipboard, the cards and the banner.
// System sleep and the application's quit throw a running recording away.

#include <memory>

namespace velloq {

class RecordingWiring {
public:
    // Configures RecordingController::shared(); call once the application
    // object and the main queue exist.
    RecordingWiring();
    ~RecordingWiring();
    RecordingWiring(const RecordingWiring&) = delete;
    RecordingWiring& operator=(const RecordingWiring&) = delete;

    // The application is quitting: a running recording is discarded, and
    // this waits (ten seconds at most) until its file is gone and the
    // service's video dropped; an upload already finishing gets the same
    // time to end.
    void applicationWillTerminate();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace velloq
