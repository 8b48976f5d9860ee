#pragma once

// Recordings as the recorder writes them (libx264 and AAC into fragmented MP4,
// a fragment per two seconds), made from a moving test picture and a tone.

#include <string>
#include <vector>

namespace velloq::server::test {

std::string recordedVideo(int seconds, int width, int height, int frameRate = 10);

// Offsets of the top-level MP4 boxes of this type, in file order.
std::vector<std::size_t> topLevelBoxes(const std::string& mp4, const char* type);

} // namespace velloq::server::test
