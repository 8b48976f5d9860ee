#include "platform/posix/SyslogSink.h"

#include <cstdio>
#include <string>
#include <syslog.h>

namespace velloq::platform {

SyslogSink::SyslogSink(bool alsoStderr) : alsoStderr_(alsoStderr) {
    ::openlog("velloq", LOG_PID, LOG_USER);
}

SyslogSink::~SyslogSink() {
    ::closelog();
}

void SyslogSink::write(std::string_view line) {
    const std::string text(line);
    ::syslog(LOG_NOTICE, "%s", text.c_str());
    if (alsoStderr_) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

} // namespace velloq::platform
