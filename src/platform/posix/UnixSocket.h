#pragma once

// Line requests between processes of one user over a Unix stream socket.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velloq::platform {

// A non-blocking socket listening at `path` that only this user may connect
// to; whatever was at `path` is replaced. -1 when it cannot be made.
int listenUnix(const std::filesystem::path& path);

// The next pending connection on `listener`, non-blocking; -1 when none waits.
int acceptUnix(int listener);

// Sends `line` to the socket at `path` and returns the first line of the
// answer (without its newline); nothing when no answer comes within `timeout`.
std::optional<std::string> requestLine(const std::filesystem::path& path, std::string_view line,
                                       std::chrono::milliseconds timeout);

} // namespace velloq::platform
