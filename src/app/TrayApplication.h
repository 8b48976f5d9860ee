#pragma once

namespace velloq {

class LinuxPlatform;

// Runs Velloq in the tray until it quits; returns the exit status.
int runTrayApplication(int& argc, char** argv, LinuxPlatform& platform);

} // namespace velloq
