#pragma once

namespace velloq {

// "Open Settings" for the microphone: the desktop's sound settings. When none
// is installed the log says so and, with `bannerWhenMissing`, a banner tells
// the user what to install.
void openMicrophoneSettings(bool bannerWhenMissing);

} // namespace velloq
