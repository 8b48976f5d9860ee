#pragma once

// The first picture of a video as a PNG, for the player to show before it
// starts. Scaled down to at most kPosterWidth pixels wide.

#include "server/Error.h"

#include <atomic>
#include <filesystem>
#include <string>

namespace velloq::server {

inline constexpr int kPosterWidth = 1280;

Expected<std::string, Error> posterPng(const std::filesystem::path& video,
                                       const std::atomic<bool>& cancel);

} // namespace velloq::server
