#include "platform/Log.h"

#include "platform/Platform.h"

#include <cstdio>

namespace velloq {

void logLine(std::string_view line) {
    if (auto* sink = platform::installed().log) {
        sink->write(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void FailureLog::report(const std::string& kind, std::string_view line) {
    {
        std::lock_guard lock(mutex_);
        if (!reported_.insert(kind).second) {
            return;
        }
    }
    logLine(line);
}

void FailureLog::clear(const std::string& kind) {
    std::lock_guard lock(mutex_);
    reported_.erase(kind);
}

} // namespace velloq
