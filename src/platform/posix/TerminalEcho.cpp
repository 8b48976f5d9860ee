#include "platform/posix/TerminalEcho.h"

namespace velloq::platform {

TerminalEchoOff::TerminalEchoOff(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &saved_) != 0) {
        return;
    }
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    changed_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
}

TerminalEchoOff::~TerminalEchoOff() {
    if (changed_) {
        ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
}

} // namespace velloq::platform
