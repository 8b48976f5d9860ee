#include "capture/SizeLabel.h"

#include <cmath>

namespace velloq::capture {

std::string sizeLabelText(const Rect& selection) {
    const auto whole = [](double v) {
        return std::to_string(static_cast<long long>(std::trunc(v)));
    };
    return whole(selection.width) + " \u00d7 " + whole(selection.height);
}

SizeLabelLayout sizeLabelLayout(const Rect& selection, Size textSize) {
    const Rect plate{selection.minX(), selection.maxY() + 6, textSize.width + 10,
                     textSize.height + 5};
    return {plate, {plate.x + 5, plate.y + 2.5}};
}

std::optional<std::size_t> sizeLabelScreen(const Rect& selection,
                                           const std::vector<Screen>& screens) {
    const Point corner{selection.minX(), selection.maxY()};
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (screens[i].frame.contains(corner)) {
            return i;
        }
    }
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const Rect& f = screens[i].frame;
        if (corner.y == f.maxY() && corner.x >= f.minX() && corner.x < f.maxX()) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace velloq::capture
