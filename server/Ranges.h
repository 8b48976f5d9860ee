#pragma once

// Single byte ranges ("Range: bytes=a-b", "a-", "-n") over a file of known size.
// Anything else, including several ranges, is answered with the whole file,
// which HTTP allows.

#include <cstdint>
#include <string_view>

namespace velloq::server {

enum class RangeOutcome { Whole, Partial, Unsatisfiable };

struct RangeChoice {
    RangeOutcome outcome = RangeOutcome::Whole;
    std::uint64_t first = 0;
    std::uint64_t length = 0;
};

RangeChoice chooseRange(std::string_view header, std::uint64_t size);

} // namespace velloq::server
