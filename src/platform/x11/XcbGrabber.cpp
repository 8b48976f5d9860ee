#include "platform/x11/XcbGrabber.h"

#include "platform/x11/XcbHandles.h"

#include <algorithm>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xfixes.h>

namespace velloq::platform::x11 {

XcbGrabber::XcbGrabber(xcb_connection_t* connection, xcb_window_t root, int rootWidth,
                       int rootHeight)
    : connection_(connection), root_(root), rootWidth_(rootWidth), rootHeight_(rootHeight) {
    XcbReply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(connection_, xcb_shm_query_version(connection_), nullptr));
    shm_ = version != nullptr;
}

XcbGrabber::~XcbGrabber() {
    if (shared_ != nullptr) {
        xcb_shm_detach(connection_, segment_);
        xcb_flush(connection_);
        shmdt(shared_);
    }
}

bool XcbGrabber::ensureSegment(std::size_t bytes) {
    if (shared_ != nullptr && sharedSize_ >= bytes) {
        return true;
    }
    if (shared_ != nullptr) {
        xcb_shm_detach(connection_, segment_);
        shmdt(shared_);
        shared_ = nullptr;
    }
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return false;
    }
    void* address = shmat(id, nullptr, 0);
    // Gone with its last user, even after a crash.
    shmctl(id, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) {
        return false;
    }
    segment_ = xcb_generate_id(connection_);
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
        connection_, xcb_shm_attach_checked(connection_, segment_, std::uint32_t(id), 0)));
    if (error) { // a server that cannot see our memory
        shmdt(address);
        return false;
    }
    shared_ = static_cast<std::uint8_t*>(address);
    sharedSize_ = bytes;
    return true;
}

std::optional<std::string> XcbGrabber::grabInto(const PixelRect& visible,
                                                std::uint8_t* destination) {
    const std::size_t rowBytes = std::size_t(visible.width) * 4;
    if (shm_ && ensureSegment(rowBytes * std::size_t(visible.height))) {
        xcb_generic_error_t* raw = nullptr;
        XcbReply<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(
            connection_,
            xcb_shm_get_image(connection_, root_, std::int16_t(visible.x), std::int16_t(visible.y),
                              std::uint16_t(visible.width), std::uint16_t(visible.height), ~0u,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, segment_, 0),
            &raw));
        XcbReply<xcb_generic_error_t> error(raw);
        if (!reply) {
            return "shared-memory grab refused (X error " +
                   std::to_string(error ? int(error->error_code) : 0) + ")";
        }
        if (destination != shared_) {
            std::memcpy(destination, shared_, rowBytes * std::size_t(visible.height));
        }
        return std::nullopt;
    }
    shm_ = false;
    xcb_generic_error_t* raw = nullptr;
    XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, std::int16_t(visible.x),
                      std::int16_t(visible.y), std::uint16_t(visible.width),
                      std::uint16_t(visible.height), ~0u),
        &raw));
    XcbReply<xcb_generic_error_t> error(raw);
    if (!reply || std::size_t(xcb_get_image_data_length(reply.get())) <
                      rowBytes * std::size_t(visible.height)) {
        return std::string("grab refused");
    }
    std::memcpy(destination, xcb_get_image_data(reply.get()),
                rowBytes * std::size_t(visible.height));
    return std::nullopt;
}

std::optional<std::string> XcbGrabber::grab(const PixelRect& area) {
    if (area.width < 1 || area.height < 1) {
        return std::string("nothing to grab");
    }
    const int left = std::max(area.x, 0);
    const int top = std::max(area.y, 0);
    const int right = std::min(area.x + area.width, rootWidth_);
    const int bottom = std::min(area.y + area.height, rootHeight_);
    area_ = area;
    const bool whole = left == area.x && top == area.y && right == area.x + area.width &&
                       bottom == area.y + area.height;
    if (whole && shm_ && ensureSegment(stride() * std::size_t(area.height))) {
        pixels_ = shared_; // no copy: the encoder reads the segment itself
        return grabInto(area, shared_);
    }
    canvas_.assign(stride() * std::size_t(area.height), 0);
    pixels_ = canvas_.data();
    if (right <= left || bottom <= top) {
        return std::nullopt; // wholly off the screen: black
    }
    const PixelRect visible{left, top, right - left, bottom - top};
    std::vector<std::uint8_t> part(std::size_t(visible.width) * 4 * std::size_t(visible.height));
    if (auto error = grabInto(visible, part.data())) {
        return error;
    }
    for (int row = 0; row < visible.height; ++row) {
        std::memcpy(canvas_.data() + std::size_t(row + top - area.y) * stride() +
                        std::size_t(left - area.x) * 4,
                    part.data() + std::size_t(row) * std::size_t(visible.width) * 4,
                    std::size_t(visible.width) * 4);
    }
    return std::nullopt;
}

void XcbGrabber::drawCursor(const CursorImage& cursor) {
    for (int row = 0; row < cursor.height; ++row) {
        const int y = cursor.y + row - area_.y;
        if (y < 0 || y >= area_.height) {
            continue;
        }
        auto* line = reinterpret_cast<std::uint32_t*>(pixels_ + std::size_t(y) * stride());
        for (int column = 0; column < cursor.width; ++column) {
            const int x = cursor.x + column - area_.x;
            if (x < 0 || x >= area_.width) {
                continue;
            }
            const std::uint32_t source = cursor.argb[std::size_t(row * cursor.width + column)];
            const std::uint32_t alpha = source >> 24;
            if (alpha == 0) {
                continue;
            }
            const std::uint32_t under = line[x];
            std::uint32_t blended = 0;
            for (int shift = 0; shift < 24; shift += 8) { // premultiplied "over"
                const std::uint32_t s = (source >> shift) & 0xff;
                const std::uint32_t d = (under >> shift) & 0xff;
                blended |= std::min<std::uint32_t>(255, s + d * (255 - alpha) / 255) << shift;
            }
            line[x] = blended;
        }
    }
}

std::optional<CursorImage> readCursor(xcb_connection_t* connection) {
    XcbReply<xcb_xfixes_get_cursor_image_reply_t> reply(xcb_xfixes_get_cursor_image_reply(
        connection, xcb_xfixes_get_cursor_image(connection), nullptr));
    if (!reply) {
        return std::nullopt;
    }
    CursorImage cursor;
    cursor.x = reply->x - reply->xhot;
    cursor.y = reply->y - reply->yhot;
    cursor.width = reply->width;
    cursor.height = reply->height;
    cursor.serial = reply->cursor_serial;
    const std::uint32_t* pixels = xcb_xfixes_get_cursor_image_cursor_image(reply.get());
    const int count = xcb_xfixes_get_cursor_image_cursor_image_length(reply.get());
    if (count < cursor.width * cursor.height) {
        return std::nullopt;
    }
    cursor.argb.assign(pixels, pixels + cursor.width * cursor.height);
    return cursor;
}

} // namespace velloq::platform::x11
