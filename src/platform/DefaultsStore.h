#pragma once

// The per-user defaults store: a flat table of keys whose values keep their
// JSON types, so that a string where an integer belongs stays a string and
// its reader can fall back to the default.

#include "common/Expected.h"

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace velloq::platform {

enum class DefaultsError {
    unwritable, // the directory or file could not be written
    unreadable, // the existing file could not be read, so replacing it could lose values
};

class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;

    // The stored value, read from the store on every call.
    virtual std::optional<nlohmann::json> object(std::string_view key) const = 0;
    // Replaces one key and keeps every other key as stored.
    virtual Expected<void, DefaultsError> set(std::string_view key,
                                              const nlohmann::json& value) = 0;
    virtual Expected<void, DefaultsError> remove(std::string_view key) = 0;

    // The typed getters readers use.
    // A string value, or nothing when the key is missing or holds another type.
    std::optional<std::string> string(std::string_view key) const;
    // The plain boolean getter: false when missing; numbers are true when non-zero
    // and strings when they read "true", "yes" or a non-zero number.
    bool boolean(std::string_view key) const;
};

} // namespace velloq::platform
