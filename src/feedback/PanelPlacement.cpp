#include "feedback/PanelPlacement.h"

namespace velloq {

platform::GlobalRect bannerFrame(const std::optional<platform::GlobalRect>& visible, double width,
                                 double height) {
    if (!visible) {
        return {0, 0, width, height};
    }
    return {visible->maxX() - width - panelMargin, visible->maxY() - height - panelMargin, width,
            height};
}

platform::GlobalRect cardFrame(const std::optional<platform::GlobalRect>& visible, double width,
                               double height) {
    if (!visible) {
        return {0, 0, width, height};
    }
    return {visible->maxX() - width - panelMargin, visible->y + panelMargin, width, height};
}

} // namespace velloq
