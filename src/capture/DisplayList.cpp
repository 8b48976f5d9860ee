#include "capture/DisplayList.h"

#include <algorithm>

namespace velloq::capture {

std::vector<DisplayInfo> listDisplays(const std::vector<Screen>& screens) {
    struct Entry {
        DisplayInfo info;
        double minX = 0;
    };
    std::vector<Entry> entries;
    for (const Screen& screen : screens) {
        const auto id = displayIDOfScreen(screen);
        if (!id) {
            continue;
        }
        const Size pixels{screen.scale * screen.frame.width, screen.scale * screen.frame.height};
        entries.push_back({{*id, screen.name, pixels, screen.isPrimary}, screen.frame.minX()});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.info.isPrimary != b.info.isPrimary) {
            return a.info.isPrimary;
        }
        return a.minX < b.minX;
    });
    std::vector<DisplayInfo> result;
    result.reserve(entries.size());
    for (auto& entry : entries) {
        result.push_back(std::move(entry.info));
    }
    return result;
}

std::vector<DisplayInfo> listDisplays() {
    const auto screens = currentScreens();
    return screens ? listDisplays(*screens) : std::vector<DisplayInfo>{};
}

} // namespace velloq::capture
