#pragma once

// Numbers and regions as the command-line verbs take them.

#include "geometry/Geometry.h"

#include <optional>
#include <string>

namespace velloq {

// A finite decimal number and nothing else.
std::optional<double> parseNumber(const std::string& text);

// "X,Y,WIDTH,HEIGHT" in points, width and height above 0.
std::optional<geometry::Rect> parseRegion(const std::string& text);

} // namespace velloq
