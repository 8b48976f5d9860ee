#pragma once

// What the five rows of the tray panel (and of the tray's menu) do.

#include <functional>

namespace velloq {

struct PanelActions {
    std::function<void()> capture;
    std::function<void()> recordScreen; // empty: the row is shown but disabled
    std::function<void()> openSettings;
    std::function<void()> openPermissions;
    std::function<void()> quit;
};

} // namespace velloq
