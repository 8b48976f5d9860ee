#include "platform/Screens.h"

#include <cstdlib>

namespace velloq::platform {

Expected<OwnedPixels, ScreensError>
Screens::grabComposed(int width, int height, const std::vector<GrabPlacement>& placements) {
    if (width < 1 || height < 1) {
        return Unexpected(ScreensError{ScreensError::Kind::grabFailed, "nothing to grab"});
    }
    const std::size_t stride = std::size_t(width) * 4;
    std::shared_ptr<void> owner(std::calloc(stride, std::size_t(height)), std::free);
    if (!owner) {
        return Unexpected(ScreensError{ScreensError::Kind::grabFailed, "out of memory"});
    }
    auto* data = static_cast<std::uint8_t*>(owner.get());
    for (const GrabPlacement& place : placements) {
        const PixelRect& a = place.area;
        if (place.x < 0 || place.y < 0 || a.width > width - place.x ||
            a.height > height - place.y) {
            return Unexpected(
                ScreensError{ScreensError::Kind::grabFailed, "an area lies outside the image"});
        }
        auto grabbed = grab(a, {data + std::size_t(place.y) * stride + std::size_t(place.x) * 4,
                                a.width, a.height, stride});
        if (!grabbed) {
            return Unexpected(grabbed.error());
        }
    }
    return OwnedPixels{{data, width, height, stride}, std::move(owner)};
}

} // namespace velloq::platform
