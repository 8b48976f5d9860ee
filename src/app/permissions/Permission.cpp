#include "app/permissions/Permission.h"

#include "platform/qt/SoundSettings.h"

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

bool openDesktopPermissionSettings(Permission permission) {
    // X11 has no page for the screen or the input extensions; the microphone
    // has the desktop's sound settings when one is installed.
    return permission == Permission::microphone && platform::openSoundSettings().has_value();
}

} // namespace velloq
