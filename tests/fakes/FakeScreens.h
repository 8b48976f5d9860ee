#pragma once

// A window system held in memory: monitors, windows and a root window whose
// pixel at (x, y) is `patternAt(x, y)`.

#include "platform/Screens.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velloq::testing {

class FakeScreens final : public platform::Screens {
public:
    Expected<std::vector<platform::Monitor>, platform::ScreensError> monitors() override;
    Expected<std::vector<platform::WindowInfo>, platform::ScreensError> windows() override;
    Expected<void, platform::ScreensError> grab(const platform::PixelRect& area,
                                                const platform::PixelBuffer& destination) override;

    // A pattern that tells every root pixel apart: 0xff, x low bits, y low bits, x^y.
    static std::uint32_t patternAt(int x, int y);

    std::vector<platform::Monitor> monitorList;
    std::vector<platform::WindowInfo> windowList;
    std::optional<platform::ScreensError> failMonitors;
    std::optional<platform::ScreensError> failGrabs;
    std::function<void()> afterMonitors; // runs after each answer, e.g. to unplug one
    std::vector<platform::PixelRect> grabs;
};

} // namespace velloq::testing
