#pragma once

#include <string_view>

namespace velloq::platform {

// The device pixel ratio Qt gives the screen of that name (which honours
// QT_SCALE_FACTOR and QT_SCREEN_SCALE_FACTORS), or 1 when no Qt GUI
// application runs or no screen has that name.
double qtScreenScale(std::string_view screenName);

} // namespace velloq::platform
