#include "app/ArgumentText.h"

#include <cmath>
#include <sstream>
#include <vector>

namespace velloq {

std::optional<double> parseNumber(const std::string& text) {
    std::istringstream in(text);
    double value = 0;
    if (text.empty() || !(in >> value) || !in.eof() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<geometry::Rect> parseRegion(const std::string& text) {
    std::vector<double> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        const auto value = parseNumber(part);
        if (!value) {
            return std::nullopt;
        }
        parts.push_back(*value);
    }
    if (parts.size() != 4 || !(parts[2] > 0) || !(parts[3] > 0) || text.back() == ',') {
        return std::nullopt;
    }
    return geometry::Rect{parts[0], parts[1], parts[2], parts[3]};
}

} // namespace velloq
