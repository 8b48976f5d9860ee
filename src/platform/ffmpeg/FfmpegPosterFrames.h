#pragma once

#include "platform/PosterFrames.h"

namespace velloq::platform {

// Decodes the video track of a file with FFmpeg: seeks to the key frame at
// or before the time asked, decodes up to it and scales the frame down.
class FfmpegPosterFrames final : public PosterFrames {
public:
    std::optional<RgbaImage> frameAt(const std::filesystem::path& file, double seconds,
                                     int maxSide) override;
};

} // namespace velloq::platform
