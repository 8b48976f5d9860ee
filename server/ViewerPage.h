#pragma once

// The page a video link opens: the video in the browser's own player, its
// length and a download link. While the browser copy is still being made the
// page says so and reloads itself.

#include <optional>
#include <string>
#include <string_view>

namespace velloq::server {

struct ViewerContent {
    std::string videoUrl; // what the player plays; empty while preparing
    std::string downloadUrl;
    std::string posterUrl; // empty: none
    std::optional<double> durationSeconds;
    int width = 0; // 0: unknown
    int height = 0;
};

// "0:07", "10:00", "1:02:03": whole seconds, rounded to the nearest.
std::string formatDuration(double seconds);
std::string escapeHtml(std::string_view text);
std::string renderViewerPage(const ViewerContent& content);

} // namespace velloq::server
