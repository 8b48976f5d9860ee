#pragma once

// The desktop's sound settings, where a microphone is chosen, unmuted and
// its level set: the desktop's own panel when it has one, else whichever of
// pavucontrol, GNOME Settings' sound panel or KDE's audio module is installed.

#include "common/Expected.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::platform {

enum class SoundSettingsError { notInstalled, launchFailed };

// The command lines to try, best first, for the desktop named by
// XDG_CURRENT_DESKTOP (a colon-separated list, as the variable holds).
[[nodiscard]] std::vector<std::vector<std::string>> soundSettingsCommands(std::string_view desktop);

// The first of those whose program `installed` knows; empty when none is.
[[nodiscard]] std::vector<std::string>
pickSoundSettings(std::string_view desktop,
                  const std::function<bool(const std::string&)>& installed);

// Starts the sound settings apart from this process (they outlive it).
Expected<void, SoundSettingsError> openSoundSettings();

} // namespace velloq::platform
