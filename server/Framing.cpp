#include "server/Framing.h"

#include <charconv>
#include <cstdint>

namespace velloq::server {
namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool cleanValue(std::string_view value) {
    for (char c : value) {
        auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f) {
            return false; // NUL, CR, LF and the other controls
        }
    }
    return true;
}

// Every Content-Length value, comma lists included, must be the same plain number.
bool consistentLength(const Fields& headers, bool& present) {
    std::optional<std::uint64_t> seen;
    for (const auto& [name, value] : headers) {
        if (!equalsIgnoringCase(name, "Content-Length")) {
            continue;
        }
        present = true;
        std::string_view rest = value;
        do {
            std::size_t comma = rest.find(',');
            std::string_view item = trim(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            std::uint64_t number = 0;
            auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), number);
            if (item.empty() || item.size() > 18 || ec != std::errc{} ||
                end != item.data() + item.size() || (seen && *seen != number)) {
                return false;
            }
            seen = number;
        } while (!rest.empty());
    }
    return true;
}

} // namespace

std::optional<std::string> framingProblem(const Fields& headers) {
    std::size_t codings = 0;
    for (const auto& [name, value] : headers) {
        if (!cleanValue(name) || !cleanValue(value)) {
            return "control character in a header";
        }
        if (!equalsIgnoringCase(name, "Transfer-Encoding")) {
            continue;
        }
        std::string_view rest = value;
        do {
            std::size_t comma = rest.find(',');
            std::string_view coding = trim(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            if (!equalsIgnoringCase(coding, "chunked") || ++codings > 1) {
                return "unsupported Transfer-Encoding";
            }
        } while (!rest.empty());
    }
    bool hasLength = false;
    if (!consistentLength(headers, hasLength)) {
        return "invalid Content-Length";
    }
    if (hasLength && codings > 0) {
        return "Content-Length together with Transfer-Encoding";
    }
    return std::nullopt;
}

} // namespace velloq::server
