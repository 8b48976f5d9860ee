#include "server/Ranges.h"

#include <charconv>
#include <optional>

namespace velloq::server {
namespace {

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

RangeChoice chooseRange(std::string_view header, std::uint64_t size) {
    const RangeChoice whole{RangeOutcome::Whole, 0, size};
    constexpr std::string_view unit = "bytes=";
    if (header.substr(0, unit.size()) != unit) {
        return whole;
    }
    std::string_view ranges = header.substr(unit.size());
    std::size_t dash = ranges.find('-');
    if (dash == std::string_view::npos || ranges.find(',') != std::string_view::npos) {
        return whole;
    }
    auto first = number(ranges.substr(0, dash));
    auto last = number(ranges.substr(dash + 1));
    const RangeChoice unsatisfiable{RangeOutcome::Unsatisfiable, 0, 0};
    if (!first) {
        if (!last) {
            return whole;
        }
        // Suffix range: the final `last` bytes.
        if (*last == 0 || size == 0) {
            return unsatisfiable;
        }
        std::uint64_t length = *last < size ? *last : size;
        return {RangeOutcome::Partial, size - length, length};
    }
    if (dash + 1 < ranges.size() && !last) {
        return whole;
    }
    if (last && *last < *first) {
        return whole; // syntactically invalid: ignored
    }
    if (*first >= size) {
        return unsatisfiable;
    }
    std::uint64_t end = last && *last < size ? *last : size - 1;
    return {RangeOutcome::Partial, *first, end - *first + 1};
}

} // namespace velloq::server
