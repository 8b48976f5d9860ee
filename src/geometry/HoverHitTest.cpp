#include "geometry/HoverHitTest.h"

namespace velloq::geometry {

std::optional<HoverTarget> hoverHitTest(const Point& point,
                                        const std::vector<WindowTarget>& targets,
                                        const std::vector<Screen>& screens) {
    const Screen* screen = screenContaining(point, screens);
    if (screen == nullptr) {
        return std::nullopt;
    }
    const auto fullScreen = [&]() -> std::optional<HoverTarget> {
        const auto id = displayIDOfScreen(*screen);
        if (!id) {
            return std::nullopt;
        }
        return HoverFullScreen{*id, screen->frame};
    };
    if (!screen->visibleFrame.contains(point)) {
        return fullScreen();
    }
    for (const WindowTarget& target : targets) {
        if (target.rect.contains(point)) {
            return HoverWindow{target.id, target.rect};
        }
    }
    return fullScreen();
}

std::optional<HoverTarget> hoverHitTest(const Point& point,
                                        const std::vector<WindowTarget>& targets) {
    const auto screens = currentScreens();
    return screens ? hoverHitTest(point, targets, *screens) : std::nullopt;
}

} // namespace velloq::geometry
