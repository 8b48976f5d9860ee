#pragma once

// One line per event on stderr (or a test's sink). Callers never pass keys,
// signatures or request bodies.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velloq::server {

using LogSink = std::function<void(std::string_view line)>;

// Writes each line with a single write(2), so lines from many threads never interleave.
LogSink stderrLogSink();

class Logger {
public:
    explicit Logger(LogSink sink) : sink_(std::move(sink)) {}
    void line(std::string_view text) const {
        if (sink_) {
            sink_(text);
        }
    }

private:
    LogSink sink_;
};

} // namespace velloq::server
