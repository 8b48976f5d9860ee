#pragma once

#include "platform/Log.h"

namespace velloq::platform {

// Lines go to syslog (journald on systemd desktops) at the default level; with
// `alsoStderr` they are copied to standard error for scripts and tests.
class SyslogSink final : public LogSink {
public:
    explicit SyslogSink(bool alsoStderr);
    ~SyslogSink() override;
    void write(std::string_view line) override;

private:
    bool alsoStderr_;
};

} // namespace velloq::platform
