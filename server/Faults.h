#pragma once

// Misbehaviour on demand, so client tests can meet a faulty service. Only
// reachable when the server was started with fault injection on a loopback
// address.

#include "server/Error.h"

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <string_view>

namespace velloq::server {

enum class Route {
    Upload,
    Start,
    SignPart,
    PutPart,
    Complete,
    Abort,
    Health,
    Manifest,
    Image,
    Video
};
inline constexpr std::size_t kRouteCount = 10;

std::optional<Route> routeNamed(std::string_view name);

struct Fault {
    std::optional<int> status;          // answer this instead of handling the request
    bool dropEtag = false;              // leave the ETag header out
    std::chrono::milliseconds delay{0}; // wait before handling
    bool cutBody = false;               // close the connection halfway through the body
    std::optional<long long> remaining; // apply to this many more requests; unset: all
};

// {"status": 503, "dropEtag": true, "delayMs": 200, "cutBody": true, "times": 2}, all optional.
Expected<Fault, Error> parseFault(std::string_view json);

class FaultTable {
public:
    void set(Route route, Fault fault);
    void clear();
    // The fault to apply to one request on `route`, counting it against "times".
    std::optional<Fault> take(Route route);
    // Like take(), but only a fault that replaces the answer with a status.
    std::optional<Fault> takeStatus(Route route);

private:
    std::optional<Fault> takeLocked(Route route, bool statusOnly);

    std::mutex mutex_;
    std::array<std::optional<Fault>, kRouteCount> faults_;
};

} // namespace velloq::server
