#pragma once

// The brand mark as SVG files for the icon theme, traced from the same outline
// the application paints, so the installed icons cannot drift from it.

#include <string>

namespace velloq::dist {

// The application icon: the mark in white on a rounded square of the brand colour.
std::string applicationIconSvg();

// The tray's variant: the mark alone, as one filled shape (desktops recolour
// symbolic icons by their fill), in the brand colour for those that do not.
std::string symbolicIconSvg();

} // namespace velloq::dist
