#include "app/MicrophoneSettings.h"

#include "feedback/ToastController.h"
#include "platform/Log.h"
#include "platform/qt/SoundSettings.h"

namespace velloq {

void openMicrophoneSettings(bool bannerWhenMissing) {
    const auto opened = platform::openSoundSettings();
    if (opened) {
        return;
    }
    if (opened.error() == platform::SoundSettingsError::launchFailed) {
        logLine("Velloq: the sound settings could not be started");
        return;
    }
    logLine("Velloq: no sound settings app found (pavucontrol, GNOME Settings or KDE's audio "
            "module)");
    if (bannerWhenMissing) {
        ToastController::shared().showBanner(
            Severity::warning, "Velloq",
            "No sound settings found. Install pavucontrol to choose and unmute a microphone.");
    }
}

} // namespace velloq
