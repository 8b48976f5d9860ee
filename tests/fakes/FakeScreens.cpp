#include "fakes/FakeScreens.h"

#include <cstring>

namespace velloq::testing {

Expected<std::vector<platform::Monitor>, platform::ScreensError> FakeScreens::monitors() {
    if (failMonitors) {
        return Unexpected(*failMonitors);
    }
    auto answer = monitorList;
    if (afterMonitors) {
        afterMonitors();
    }
    return answer;
}

Expected<std::vector<platform::WindowInfo>, platform::ScreensError> FakeScreens::windows() {
    return windowList;
}

Expected<void, platform::ScreensError> FakeScreens::grab(const platform::PixelRect& area,
                                                         const platform::PixelBuffer& destination) {
    grabs.push_back(area);
    if (failGrabs) {
        return Unexpected(*failGrabs);
    }
    for (int y = 0; y < area.height; ++y) {
        auto* row = destination.data + std::size_t(y) * destination.stride;
        for (int x = 0; x < area.width; ++x) {
            const std::uint32_t pixel = 0xff000000u | patternAt(area.x + x, area.y + y);
            std::memcpy(row + std::size_t(x) * 4, &pixel, 4);
        }
    }
    return {};
}

std::uint32_t FakeScreens::patternAt(int x, int y) {
    return 0xff000000u | std::uint32_t(x & 0xff) << 16 | std::uint32_t(y & 0xff) << 8 |
           std::uint32_t((x ^ y) >> 8 & 0xff);
}

} // namespace velloq::testing
