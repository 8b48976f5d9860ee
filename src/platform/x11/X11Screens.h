#pragma once

// Displays, windows and pixels of an X server: monitors from RandR (the id
// is the monitor's first output), work areas from the window manager's
// _NET_WORKAREA, the window list from EWMH (or the window tree without a
// window manager), and grabs through MIT-SHM. Used from one thread.

#include "platform/Screens.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velloq::platform::x11 {
class ComposedGrabber;
class RootGrabber;
} // namespace velloq::platform::x11

namespace velloq::platform {

// A monitor's scale (device pixels per point) by its name. The toolkit knows
// it; the window system does not.
using ScaleProvider = std::function<double(std::string_view monitorName)>;

class X11Screens final : public Screens {
public:
    // `displayName` empty: the one in $DISPLAY. The connection opens on first use.
    explicit X11Screens(ScaleProvider scale, std::string displayName = {});
    ~X11Screens() override;
    X11Screens(const X11Screens&) = delete;
    X11Screens& operator=(const X11Screens&) = delete;

    Expected<std::vector<Monitor>, ScreensError> monitors() override;
    Expected<std::vector<WindowInfo>, ScreensError> windows() override;
    Expected<void, ScreensError> grab(const PixelRect& area,
                                      const PixelBuffer& destination) override;
    Expected<OwnedPixels, ScreensError>
    grabComposed(int width, int height, const std::vector<GrabPlacement>& placements) override;
    void releaseSpareMemory() override;

    bool usesSharedMemory();

private:
    struct Connection;
    Connection* connect();

    ScaleProvider scale_;
    std::string displayName_;
    std::unique_ptr<Connection> connection_;
};

} // namespace velloq::platform
