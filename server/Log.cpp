#include "server/Log.h"

#include <unistd.h>

namespace velloq::server {

LogSink stderrLogSink() {
    return [](std::string_view text) {
        std::string out = "velloq-server: ";
        out.append(text);
        out.push_back('\n');
        const char* data = out.data();
        std::size_t left = out.size();
        while (left > 0) {
            ssize_t n = ::write(STDERR_FILENO, data, left);
            if (n <= 0) {
                return;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
    };
}

} // namespace velloq::server
