#include "recording/RecordingController.h"

namespace velloq::recording {

geometry::Point panelOrigin(const std::vector<PanelScreen>& screens,
                            std::optional<geometry::Point> pointer, double width, bool alignRight) {
    if (screens.empty()) {
        return {0, 0};
    }
    const PanelScreen* chosen = &screens.front();
    if (pointer) {
        for (const auto& screen : screens) {
            if (screen.frame.contains(*pointer)) {
                chosen = &screen;
                break;
            }
        }
    }
    constexpr double inset = 22;
    const auto& visible = chosen->visibleFrame;
    const double x = alignRight ? visible.maxX() - width - inset
                                : chosen->frame.x + chosen->frame.width / 2 - width / 2;
    return {x, visible.minY() + inset};
}

int preferredMicrophone(const platform::MicrophoneList& microphones,
                        const std::optional<std::string>& savedName) {
    const auto& devices = microphones.devices;
    const auto indexWhere = [&](auto matches) -> std::optional<int> {
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (matches(devices[i])) {
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    };
    if (savedName && !savedName->empty()) {
        if (auto index = indexWhere([&](const auto& d) { return d.name == *savedName; })) {
            return *index;
        }
    }
    if (microphones.defaultId) {
        if (auto index =
                indexWhere([&](const auto& d) { return d.id == *microphones.defaultId; })) {
            return *index;
        }
    }
    return 0;
}

} // namespace velloq::recording
