#include "platform/x11/X11Screens.h"

#include "geometry/MonitorLayout.h"
#include "platform/x11/ComposedGrabber.h"
#include "platform/x11/RootGrabber.h"
#include "platform/x11/X11WindowList.h"
#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XHandles.h"

namespace velloq::platform {

struct X11Screens::Connection {
    x11::DisplayPtr display;
    std::unique_ptr<x11::RootGrabber> grabber;
    std::unique_ptr<x11::ComposedGrabber> composed;
    bool randr15 = false;
};

namespace {

ScreensError noConnection() {
    return {ScreensError::Kind::noConnection, "cannot open the X display"};
}

geometry::NativeRect toNative(const PixelRect& r) {
    return {double(r.x), double(r.y), double(r.width), double(r.height)};
}

PixelRect toPixels(const geometry::NativeRect& r) {
    return {int(r.x), int(r.y), int(r.width), int(r.height)};
}

} // namespace

X11Screens::X11Screens(ScaleProvider scale, std::string displayName)
    : scale_(std::move(scale)), displayName_(std::move(displayName)) {}

X11Screens::~X11Screens() {
    if (connection_) {
        // Both detach their segments while the display is still open.
        connection_->composed.reset();
        connection_->grabber.reset();
    }
}

X11Screens::Connection* X11Screens::connect() {
    if (connection_) {
        return connection_.get();
    }
    x11::DisplayPtr display(XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str()));
    if (!display) {
        return nullptr;
    }
    auto connection = std::make_unique<Connection>();
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    connection->randr15 = XRRQueryExtension(display.get(), &event, &error) &&
                          XRRQueryVersion(display.get(), &major, &minor) &&
                          (major > 1 || (major == 1 && minor >= 5));
    connection->grabber = std::make_unique<x11::RootGrabber>(display.get());
    connection->composed = std::make_unique<x11::ComposedGrabber>(display.get());
    connection->display = std::move(display);
    connection_ = std::move(connection);
    return connection_.get();
}

Expected<std::vector<Monitor>, ScreensError> X11Screens::monitors() {
    Connection* connection = connect();
    if (connection == nullptr) {
        return Unexpected(noConnection());
    }
    if (!connection->randr15) {
        return Unexpected(
            ScreensError{ScreensError::Kind::queryFailed, "the X server lacks RandR 1.5 monitors"});
    }
    Display* display = connection->display.get();
    x11::XErrorTrap trap(display);
    int count = 0;
    x11::MonitorsPtr infos(XRRGetMonitors(display, DefaultRootWindow(display), True, &count));
    if (auto error = trap.check(); error || !infos) {
        return Unexpected(ScreensError{ScreensError::Kind::queryFailed,
                                       error.value_or("RandR gave no monitors")});
    }
    const auto area = x11::workArea(display);
    std::vector<Monitor> monitors;
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& info = infos.get()[i];
        Monitor monitor;
        if (info.noutput > 0) {
            monitor.id = std::uint32_t(info.outputs[0]);
        }
        x11::XPtr<char> name(XGetAtomName(display, info.name));
        monitor.name = name ? name.get() : "";
        monitor.frame = {info.x, info.y, info.width, info.height};
        monitor.workArea =
            area ? toPixels(geometry::visiblePart(toNative(monitor.frame), toNative(*area)))
                 : monitor.frame;
        monitor.primary = info.primary != 0;
        monitor.scale = scale_ ? scale_(monitor.name) : 1.0;
        monitors.push_back(std::move(monitor));
    }
    if (trap.check()) {
        return Unexpected(
            ScreensError{ScreensError::Kind::queryFailed, "monitor names could not be read"});
    }
    return monitors;
}

Expected<std::vector<WindowInfo>, ScreensError> X11Screens::windows() {
    Connection* connection = connect();
    if (connection == nullptr) {
        return Unexpected(noConnection());
    }
    return x11::listWindows(connection->display.get());
}

Expected<void, ScreensError> X11Screens::grab(const PixelRect& area,
                                              const PixelBuffer& destination) {
    Connection* connection = connect();
    if (connection == nullptr) {
        return Unexpected(noConnection());
    }
    return connection->grabber->grab(area, destination);
}

Expected<OwnedPixels, ScreensError>
X11Screens::grabComposed(int width, int height, const std::vector<GrabPlacement>& placements) {
    Connection* connection = connect();
    if (connection == nullptr) {
        return Unexpected(noConnection());
    }
    if (connection->composed->available()) {
        auto composed = connection->composed->grab(width, height, placements);
        if (composed) {
            return composed;
        }
        // Area by area below: slower, but it reports the failure in its own words.
    }
    return Screens::grabComposed(width, height, placements);
}

void X11Screens::releaseSpareMemory() {
    if (connection_) {
        connection_->composed->releaseSpare();
        connection_->grabber->releaseSegment();
    }
}

bool X11Screens::usesSharedMemory() {
    Connection* connection = connect();
    return connection != nullptr && connection->grabber->usesSharedMemory();
}

} // namespace velloq::platform
