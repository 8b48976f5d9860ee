#pragma once

// What the settings window needs from outside itself, so that tests can hand
// their own: the microphone list, the update check, the banner, the autostart
// entry's place and this build's version.

#include "app/settings/UpdateFlow.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velloq::platform {
class Microphones;
}

namespace velloq {

struct SettingsServices {
    // The user-visible microphone names, delivered on the main thread.
    std::function<void(std::function<void(std::vector<std::string>)>)> microphoneNames;
    UpdateFlow::Check checkForUpdates;
    UpdateFlow::Banner showBanner;
    std::filesystem::path autostartFile;
    std::filesystem::path program; // what the autostart entry runs
    std::optional<std::string> version;
    std::optional<std::string> build;
};

// The product's: the sound server's microphones, the manifest on the sharing
// service, the banner of the feedback surfaces, this executable.
SettingsServices productSettingsServices();

// The microphones the product lists (the shell owns them and keeps them past
// its last window); none lists no microphones.
void useMicrophones(platform::Microphones* microphones);

// "Version 0.1.0 (build 42)", with "?" for a part that is missing.
std::string versionLine(const std::optional<std::string>& version,
                        const std::optional<std::string>& build);

} // namespace velloq
