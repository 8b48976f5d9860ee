#pragma once

#include "app/InstanceChannel.h"

#include <optional>

namespace velloq {

class LinuxPlatform;

// Runs Velloq in the tray until it quits; returns the exit status. With
// `atStart` the capture overlay or the recording flow opens as soon as it runs.
int runTrayApplication(int& argc, char** argv, LinuxPlatform& platform,
                       std::optional<InstanceRequest> atStart = std::nullopt);

} // namespace velloq
