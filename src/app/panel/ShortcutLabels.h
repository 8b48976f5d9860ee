#pragma once

// The key combinations as the panel and the tray menu show them, in the
// notation Linux desktops use. Labels only: the global hotkeys are grabbed
// elsewhere and the rows install no key equivalents.

namespace velloq::shortcuts {

inline constexpr const char* capture = "Ctrl+Super+U";
inline constexpr const char* recordScreen = "Ctrl+Super+R";
inline constexpr const char* settings = "Ctrl+,";
inline constexpr const char* quit = "Ctrl+Q";

} // namespace velloq::shortcuts
