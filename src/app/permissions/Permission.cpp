#include "app/permissions/Permission.h"

namespace velloq {

const char* howToGrant(Permission permission) {
    switch (permission) {
    case Permission::screenRecording:
        return "Velloq reads the screen from the X server, so start it inside your X11 desktop "
               "session, on the display you want to capture.";
    case Permission::microphone:
        return "Start a sound server for your user (PulseAudio, or PipeWire with pipewire-pulse), "
               "then press Request.";
    case Permission::accessibility:
        return "Turn on the XInput2 and XTEST extensions in your X server's configuration (Xorg "
               "has both by default), then press Request.";
    }
    return "";
}

bool openDesktopPermissionSettings(Permission) {
    // No desktop settings page is wired yet, so every permission gets its
    // sentence; the microphone's sound settings join here.
    return false;
}

} // namespace velloq
