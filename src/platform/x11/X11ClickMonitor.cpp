#include "platform/x11/X11ClickMonitor.h"

#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XHandles.h"

#include <array>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <X11/extensions/XInput2.h>

namespace velloq::platform {
namespace {

constexpr int leftButton = 1;
constexpr int rightButton = 3;

struct FileClose {
    int fd = -1;
    explicit FileClose(int descriptor) : fd(descriptor) {}
    ~FileClose() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    FileClose(const FileClose&) = delete;
    FileClose& operator=(const FileClose&) = delete;
};

// Frees the data an XGetEventData call attached to an event.
class EventData {
public:
    EventData(Display* display, XEvent& event) : display_(display), cookie_(&event.xcookie) {
        loaded_ = XGetEventData(display_, cookie_) != 0;
    }
    ~EventData() {
        if (loaded_) {
            XFreeEventData(display_, cookie_);
        }
    }
    EventData(const EventData&) = delete;
    EventData& operator=(const EventData&) = delete;
    const XIRawEvent* raw() const {
        return loaded_ ? static_cast<const XIRawEvent*>(cookie_->data) : nullptr;
    }

private:
    Display* display_;
    XGenericEventCookie* cookie_;
    bool loaded_ = false;
};

} // namespace

// The connection, the wake-up descriptor that ends the read loop, and the thread.
struct X11ClickMonitor::Watch {
    x11::DisplayPtr display;
    int inputOpcode = 0;
    FileClose wake{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
    std::thread thread;

    ~Watch() {
        if (thread.joinable()) {
            const std::uint64_t one = 1;
            // The reader only polls; one write always wakes it.
            [[maybe_unused]] const auto written = ::write(wake.fd, &one, sizeof one);
            thread.join();
        }
    }

    // On the watch's thread: reads until woken, posting each counted press.
    void read(MainQueue& mainQueue, std::weak_ptr<std::function<void()>> onPress) {
        Display* connection = display.get();
        std::array<pollfd, 2> fds{pollfd{ConnectionNumber(connection), POLLIN, 0},
                                  pollfd{wake.fd, POLLIN, 0}};
        for (;;) {
            while (XPending(connection) > 0) {
                XEvent event;
                XNextEvent(connection, &event);
                if (event.xcookie.type != GenericEvent || event.xcookie.extension != inputOpcode ||
                    event.xcookie.evtype != XI_RawButtonPress) {
                    continue;
                }
                const EventData data(connection, event);
                const XIRawEvent* raw = data.raw();
                if (raw != nullptr && (raw->detail == leftButton || raw->detail == rightButton)) {
                    mainQueue.post([onPress] {
                        if (auto call = onPress.lock()) {
                            (*call)();
                        }
                    });
                }
            }
            if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
                return;
            }
            if ((fds[1].revents & POLLIN) != 0 ||
                (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                return; // asked to stop, or the X server went away
            }
        }
    }
};

X11ClickMonitor::X11ClickMonitor(MainQueue& mainQueue) : mainQueue_(mainQueue) {}

X11ClickMonitor::~X11ClickMonitor() {
    stop();
}

bool X11ClickMonitor::start(std::function<void()> onPress) {
    stop();
    auto watch = std::make_unique<Watch>();
    watch->display.reset(XOpenDisplay(nullptr));
    if (!watch->display || watch->wake.fd < 0) {
        return false;
    }
    Display* connection = watch->display.get();
    int firstEvent = 0;
    int firstError = 0;
    if (!XQueryExtension(connection, "XInputExtension", &watch->inputOpcode, &firstEvent,
                         &firstError)) {
        return false;
    }
    // 2.1 is the first version whose raw events reach clients whatever grab is active.
    int major = 2;
    int minor = 1;
    if (XIQueryVersion(connection, &major, &minor) != Success || (major == 2 && minor < 1)) {
        return false;
    }
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    XISetMask(bits.data(), XI_RawButtonPress);
    // Master devices only: each press is reported once, not again per physical device.
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(bits.size()), bits.data()};
    {
        // A refusal must not end the process through Xlib's default handler.
        x11::XErrorTrap trap(connection);
        XISelectEvents(connection, DefaultRootWindow(connection), &mask, 1);
        if (trap.check()) {
            return false;
        }
    }

    onPress_ = std::make_shared<std::function<void()>>(std::move(onPress));
    watch->thread = std::thread(&Watch::read, watch.get(), std::ref(mainQueue_),
                                std::weak_ptr<std::function<void()>>(onPress_));
    watch_ = std::move(watch);
    return true;
}

void X11ClickMonitor::stop() {
    onPress_.reset();
    watch_.reset(); // joins the reader before its connection closes
}

} // namespace velloq::platform
