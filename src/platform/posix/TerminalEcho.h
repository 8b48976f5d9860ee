#pragma once

#include <termios.h>

namespace velloq::platform {

// Stops a terminal from showing what is typed on it until this goes away, so
// a secret typed at a prompt never appears on screen. Does nothing when the
// descriptor is not a terminal.
class TerminalEchoOff {
public:
    explicit TerminalEchoOff(int fd);
    ~TerminalEchoOff();
    TerminalEchoOff(const TerminalEchoOff&) = delete;
    TerminalEchoOff& operator=(const TerminalEchoOff&) = delete;

private:
    int fd_;
    bool changed_ = false;
    termios saved_{};
};

} // namespace velloq::platform
