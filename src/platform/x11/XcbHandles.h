#pragma once

// Owners for XCB replies and connections: the screen stream uses XCB rather
// than Xlib because every request's error comes back with its own reply,
// so a closed window is a value on the stream's thread, not a call of the
// process-wide Xlib error handler.

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace velloq::platform::x11 {

struct XcbFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using XcbReply = std::unique_ptr<T, XcbFree>;

struct XcbDisconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using XcbConnectionPtr = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

} // namespace velloq::platform::x11
