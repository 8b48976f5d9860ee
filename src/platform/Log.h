#pragma once

// Diagnostics are single lines in the system log, each starting with the
// product name and a component word ("Velloq: ", "Velloq upload: ", ...).

#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace velloq::platform {

class LogSink {
public:
    virtual ~LogSink() = default;
    // Called from any thread.
    virtual void write(std::string_view line) = 0;
};

} // namespace velloq::platform

namespace velloq {

// Writes one line through the installed sink (standard error before one is installed).
void logLine(std::string_view line);

// Reports each kind of a recurring failure once until that kind clears, so a
// broken file or an absent service does not flood the log on every read.
class FailureLog {
public:
    void report(const std::string& kind, std::string_view line);
    void clear(const std::string& kind);

private:
    std::mutex mutex_;
    std::set<std::string> reported_;
};

} // namespace velloq
