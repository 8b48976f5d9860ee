#pragma once

// Whether a newer version of Velloq has been published: the service's
// version manifest against this build's own version number. No state, no
// log, no API key; every failure reads as `error`.

#include "platform/Http.h"

#include <optional>
#include <string>
#include <string_view>

namespace velloq::UpdateCheck {

struct Manifest {
    std::string latest; // the published version number
    std::string url;    // download or release page
    std::optional<std::string> notes;
    std::optional<std::string> released;

    bool operator==(const Manifest&) const = default;
};

struct Result {
    enum class Kind { available, upToDate, error };
    Kind kind = Kind::error;
    std::optional<Manifest> manifest; // with `available` only

    static Result available(Manifest m) { return {Kind::available, std::move(m)}; }
    static Result upToDate() { return {Kind::upToDate, std::nullopt}; }
    static Result error() { return {Kind::error, std::nullopt}; }
};

inline constexpr std::string_view manifestPath = "/linux-version.json";

// This build's version (the project version set at build time), or "0.0.0".
std::string currentVersion();

// Fetches the manifest with the installed HTTP service and compares it with
// currentVersion(). Blocks: run it on a worker thread. Never fails.
Result checkForUpdates(platform::Http& http);

// The decision for a fetched manifest `body` against version `current`.
Result evaluate(std::string_view body, std::string_view current);

// Numeric string order: runs of digits compare by value, other characters by
// code, and when all that is equal the longer text is greater. <0, 0 or >0.
int compareVersions(std::string_view a, std::string_view b);

} // namespace velloq::UpdateCheck
