#include "server/Faults.h"

#include <nlohmann/json.hpp>

namespace velloq::server {

std::optional<Route> routeNamed(std::string_view name) {
    static constexpr std::array<std::string_view, kRouteCount> names{
        "upload", "start",   "sign-part", "put-part", "complete",
        "abort",  "healthz", "manifest",  "image",    "video"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<Route>(i);
        }
    }
    return std::nullopt;
}

Expected<Fault, Error> parseFault(std::string_view text) {
    auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return fail("fault must be a JSON object");
    }
    Fault fault;
    for (const auto& [name, value] : json.items()) {
        if (name == "status" && value.is_number_integer() && value.get<long long>() >= 100 &&
            value.get<long long>() <= 599) {
            fault.status = value.get<int>();
        } else if (name == "dropEtag" && value.is_boolean()) {
            fault.dropEtag = value.get<bool>();
        } else if (name == "cutBody" && value.is_boolean()) {
            fault.cutBody = value.get<bool>();
        } else if (name == "delayMs" && value.is_number_integer() && value.get<long long>() >= 0 &&
                   value.get<long long>() <= 600000) {
            fault.delay = std::chrono::milliseconds(value.get<long long>());
        } else if (name == "times" && value.is_number_integer() && value.get<long long>() >= 1) {
            fault.remaining = value.get<long long>();
        } else {
            return fail("bad fault member \"" + name + "\"");
        }
    }
    return fault;
}

void FaultTable::set(Route route, Fault fault) {
    std::lock_guard lock(mutex_);
    faults_[static_cast<std::size_t>(route)] = fault;
}

void FaultTable::clear() {
    std::lock_guard lock(mutex_);
    faults_.fill(std::nullopt);
}

std::optional<Fault> FaultTable::take(Route route) {
    return takeLocked(route, false);
}

std::optional<Fault> FaultTable::takeStatus(Route route) {
    return takeLocked(route, true);
}

std::optional<Fault> FaultTable::takeLocked(Route route, bool statusOnly) {
    std::lock_guard lock(mutex_);
    auto& slot = faults_[static_cast<std::size_t>(route)];
    if (!slot || (statusOnly && !slot->status)) {
        return std::nullopt;
    }
    Fault fault = *slot;
    if (slot->remaining && --*slot->remaining == 0) {
        slot.reset();
    }
    return fault;
}

} // namespace velloq::server
