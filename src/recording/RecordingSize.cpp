#include "recording/RecordingSize.h"

#include <algorithm>
#include <cmath>

namespace velloq::recording {
namespace {

int evenSide(double value) {
    const double rounded = std::round(value); // halves away from zero
    if (!(rounded >= 2)) {
        return 2; // an encoder cannot take an empty or one-pixel side
    }
    const auto side = static_cast<std::int64_t>(std::min(rounded, 65536.0));
    return int(side - side % 2);
}

} // namespace

VideoSize videoSize(double pixelWidth, double pixelHeight, int maxHeight, bool sourceResolution) {
    if (!sourceResolution && maxHeight > 0 && pixelHeight > maxHeight) {
        pixelWidth = pixelWidth * maxHeight / pixelHeight;
        pixelHeight = maxHeight;
    }
    return {evenSide(pixelWidth), evenSide(pixelHeight)};
}

std::int64_t videoBitRate(VideoSize size) {
    const std::int64_t rate = std::int64_t(size.width) * size.height * 4;
    return std::clamp<std::int64_t>(rate, 2'000'000, 12'000'000);
}

std::chrono::nanoseconds frameInterval(int frameRate) {
    return std::chrono::nanoseconds(1'000'000'000) / std::max(1, frameRate);
}

} // namespace velloq::recording
