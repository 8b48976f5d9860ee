#pragma once

// Why start-up or storage code could not do what it was asked. Failures are
// returned as values; nothing throws across a module boundary.

#include "common/Expected.h"

#include <string>
#include <utility>

namespace velloq::server {

struct Error {
    std::string message;
};

inline Unexpected<Error> fail(std::string message) {
    return Unexpected(Error{std::move(message)});
}

} // namespace velloq::server
