#include "platform/x11/XcbScreenStreams.h"

#include "platform/x11/XcbGrabber.h"
#include "platform/x11/XcbHandles.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <xcb/damage.h>
#include <xcb/xfixes.h>

namespace velloq::platform {
namespace {

using namespace x11;
using Clock = std::chrono::steady_clock;

// While nothing changes a frame still goes out this often, so that a viewer
// and the segment cadence keep moving at almost no cost.
constexpr auto stillInterval = std::chrono::seconds(1);

std::int64_t nanos(Clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

bool intersects(const PixelRect& a, const xcb_rectangle_t& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

class XcbScreenStream final : public ScreenStream {
public:
    XcbScreenStream(XcbConnectionPtr connection, xcb_screen_t* screen,
                    const ScreenStreamSettings& settings,
                    std::function<void(const ScreenFrame&)> onFrame,
                    std::function<void(const ScreenStreamError&)> onStopped)
        : connection_(std::move(connection)), root_(screen->root), settings_(settings),
          grabber_(connection_.get(), root_, screen->width_in_pixels, screen->height_in_pixels),
          onFrame_(std::move(onFrame)), onStopped_(std::move(onStopped)) {}

    ~XcbScreenStream() override { stop(); }

    std::optional<ScreenStreamError> prepare() {
        xcb_connection_t* c = connection_.get();
        XcbReply<xcb_xfixes_query_version_reply_t> fixes(
            xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr));
        XcbReply<xcb_damage_query_version_reply_t> damage(
            xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
        if (damage) {
            damage_ = xcb_generate_id(c);
            xcb_damage_create(c, damage_, root_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            damageEvent_ =
                xcb_get_extension_data(c, &xcb_damage_id)->first_event + XCB_DAMAGE_NOTIFY;
        }
        if (fixes) {
            region_ = xcb_generate_id(c);
            xcb_xfixes_create_region(c, region_, 0, nullptr);
        }
        hasCursor_ = fixes != nullptr;
        readFrameExtents();
        if (!currentArea()) {
            return ScreenStreamError{ScreenStreamError::Kind::noWindow, "no such window"};
        }
        return std::nullopt;
    }

    void begin() {
        thread_ = std::thread([this] { run(); });
    }

    void stop() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    // The window manager's decorations around a window (_NET_FRAME_EXTENTS),
    // which the window list counts as part of the window too.
    void readFrameExtents() {
        const auto* window = std::get_if<WindowSource>(&settings_.source);
        if (window == nullptr) {
            return;
        }
        xcb_connection_t* c = connection_.get();
        static constexpr char name[] = "_NET_FRAME_EXTENTS";
        XcbReply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr));
        if (!atom || atom->atom == XCB_NONE) {
            return;
        }
        XcbReply<xcb_get_property_reply_t> property(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window->id, atom->atom, XCB_ATOM_CARDINAL, 0, 4), nullptr));
        if (property && property->format == 32 &&
            xcb_get_property_value_length(property.get()) == 16) {
            const auto* values =
                static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
            extents_ = {int(values[0]), int(values[2]), int(values[0] + values[1]),
                        int(values[2] + values[3])};
            hasExtents_ = true;
        }
    }

    // Where the source is now, in root pixels; none when its window is gone.
    // `viewable` turns false while the window is unmapped (it keeps its last picture).
    std::optional<PixelRect> currentArea(bool* viewable = nullptr) {
        if (const auto* rect = std::get_if<PixelRect>(&settings_.source)) {
            return *rect;
        }
        xcb_connection_t* c = connection_.get();
        const xcb_window_t window = std::get<WindowSource>(settings_.source).id;
        const auto geometryCookie = xcb_get_geometry(c, window);
        const auto placeCookie = xcb_translate_coordinates(c, window, root_, 0, 0);
        const auto attributesCookie = xcb_get_window_attributes(c, window);
        XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, geometryCookie, nullptr));
        XcbReply<xcb_translate_coordinates_reply_t> place(
            xcb_translate_coordinates_reply(c, placeCookie, nullptr));
        XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, attributesCookie, nullptr));
        if (!geometry || !place || !attributes) {
            return std::nullopt;
        }
        if (viewable != nullptr) {
            *viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        }
        if (hasExtents_) {
            return PixelRect{place->dst_x - extents_.x, place->dst_y - extents_.y,
                             geometry->width + extents_.width, geometry->height + extents_.height};
        }
        const int border = geometry->border_width;
        return PixelRect{place->dst_x - border, place->dst_y - border, geometry->width + 2 * border,
                         geometry->height + 2 * border};
    }

    // Drains the event queue; true when damage touched `area` since the last call.
    bool damaged(const PixelRect& area) {
        xcb_connection_t* c = connection_.get();
        bool notified = damage_ == 0;
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
            if ((event->response_type & 0x7f) == damageEvent_) {
                notified = true;
            }
        }
        if (!notified || damage_ == 0) {
            return notified;
        }
        if (region_ == 0) {
            xcb_damage_subtract(c, damage_, XCB_NONE, XCB_NONE);
            return true;
        }
        xcb_damage_subtract(c, damage_, XCB_NONE, region_);
        XcbReply<xcb_xfixes_fetch_region_reply_t> reply(
            xcb_xfixes_fetch_region_reply(c, xcb_xfixes_fetch_region(c, region_), nullptr));
        if (!reply) {
            return true;
        }
        const xcb_rectangle_t* rects = xcb_xfixes_fetch_region_rectangles(reply.get());
        const int count = xcb_xfixes_fetch_region_rectangles_length(reply.get());
        for (int i = 0; i < count; ++i) {
            if (intersects(area, rects[i])) {
                return true;
            }
        }
        return false;
    }

    bool waitUntil(Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, deadline, [this] { return stopping_; });
        return !stopping_;
    }

    void deliver(Clock::time_point at) {
        const ScreenFrame frame{grabber_.pixels(), grabber_.width(), grabber_.height(),
                                grabber_.stride(), nanos(at)};
        onFrame_(frame);
        lastDelivered_ = at;
        delivered_ = true;
    }

    void fail(ScreenStreamError error) { onStopped_(error); }

    void run() {
        const auto interval =
            std::chrono::nanoseconds(1'000'000'000 / std::max(1, settings_.frameRate));
        std::optional<PixelRect> lastArea;
        std::uint32_t lastSerial = 0;
        int lastX = -1;
        int lastY = -1;
        auto next = Clock::now();
        while (waitUntil(next)) {
            next += interval;
            const auto now = Clock::now();
            if (next < now) {
                next = now + interval; // fell behind: skip the ticks that passed
            }
            bool viewable = true;
            const auto area = currentArea(&viewable);
            if (!area) {
                finalFrame(interval); // the recording lasts until the window went
                return fail({ScreenStreamError::Kind::windowClosed, "the window was closed"});
            }
            bool changed = damaged(*area) || area != lastArea;
            std::optional<CursorImage> cursor;
            if (settings_.showsCursor && hasCursor_) {
                cursor = readCursor(connection_.get());
                if (cursor &&
                    (cursor->serial != lastSerial || cursor->x != lastX || cursor->y != lastY)) {
                    changed = true;
                    lastSerial = cursor->serial;
                    lastX = cursor->x;
                    lastY = cursor->y;
                }
            }
            if (!viewable) {
                continue;
            }
            if (changed || !delivered_) {
                if (auto error = grabber_.grab(*area)) {
                    return fail({ScreenStreamError::Kind::grabFailed, *error});
                }
                if (cursor) {
                    grabber_.drawCursor(*cursor);
                }
                lastArea = area;
                deliver(now);
            } else if (now - lastDelivered_ >= stillInterval) {
                deliver(now);
            }
        }
        finalFrame(interval);
    }

    // A still picture lasts until now.
    void finalFrame(std::chrono::nanoseconds interval) {
        const auto now = Clock::now();
        if (delivered_ && now - lastDelivered_ >= interval) {
            deliver(now);
        }
    }

    XcbConnectionPtr connection_;
    xcb_window_t root_;
    ScreenStreamSettings settings_;
    XcbGrabber grabber_;
    std::function<void(const ScreenFrame&)> onFrame_;
    std::function<void(const ScreenStreamError&)> onStopped_;
    std::uint32_t damage_ = 0;
    std::uint8_t damageEvent_ = 0;
    std::uint32_t region_ = 0;
    bool hasCursor_ = false;
    PixelRect extents_; // left, top, and the added width and height
    bool hasExtents_ = false;
    bool delivered_ = false;
    Clock::time_point lastDelivered_{};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

Expected<std::unique_ptr<ScreenStream>, ScreenStreamError>
XcbScreenStreams::open(const ScreenStreamSettings& settings,
                       std::function<void(const ScreenFrame&)> onFrame,
                       std::function<void(const ScreenStreamError&)> onStopped) {
    int screenNumber = 0;
    XcbConnectionPtr connection(
        xcb_connect(displayName_.empty() ? nullptr : displayName_.c_str(), &screenNumber));
    if (xcb_connection_has_error(connection.get()) != 0) {
        return Unexpected(
            ScreenStreamError{ScreenStreamError::Kind::noConnection, "cannot open the X display"});
    }
    auto iterator = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && iterator.rem > 0; ++i) {
        xcb_screen_next(&iterator);
    }
    if (iterator.rem == 0 || iterator.data->root_depth < 24) {
        return Unexpected(
            ScreenStreamError{ScreenStreamError::Kind::noConnection, "no true-colour screen"});
    }
    auto stream = std::make_unique<XcbScreenStream>(std::move(connection), iterator.data, settings,
                                                    std::move(onFrame), std::move(onStopped));
    if (auto error = stream->prepare()) {
        return Unexpected(*error);
    }
    stream->begin();
    return std::unique_ptr<ScreenStream>(std::move(stream));
}

} // namespace velloq::platform
