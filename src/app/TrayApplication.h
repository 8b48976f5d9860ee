#pragma once

namespace velloq {

class LinuxPlatform;

// Runs Velloq in the tray until it quits; returns the exit status. With
// `captureAtStart` the capture overlay opens as soon as it runs.
int runTrayApplication(int& argc, char** argv, LinuxPlatform& platform,
                       bool captureAtStart = false);

} // namespace velloq
