#pragma once

// The main screen is Qt's primary screen; its available geometry is the
// screen without the panels the window manager reserves (_NET_WORKAREA on X11).

#include "platform/WorkArea.h"

namespace velloq::platform {

class QtWorkArea final : public WorkArea {
public:
    std::optional<GlobalRect> mainVisibleFrame() override;
    WindowSystemRect toWindowSystem(const GlobalRect& rect) override;
};

} // namespace velloq::platform
