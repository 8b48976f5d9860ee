#pragma once

// The overlay's selection modes and the model the toolbar and the overlay
// views share for one showing of the overlay.

#include "capture/CaptureTypes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velloq::capture {

// In button order.
enum class CaptureMode { rectangle, freeform, window, fullscreen };

inline constexpr std::array<CaptureMode, 4> allCaptureModes{
    CaptureMode::rectangle, CaptureMode::freeform, CaptureMode::window, CaptureMode::fullscreen};

// The button's tooltip ("Rectangle", ...).
[[nodiscard]] const char* label(CaptureMode mode);
// The symbol name the button draws ("rectangle.dashed", ...).
[[nodiscard]] const char* symbol(CaptureMode mode);
[[nodiscard]] int rawValue(CaptureMode mode);
[[nodiscard]] std::optional<CaptureMode> captureModeFromRaw(int raw);

class CaptureToolbarModel {
public:
    using ModeObserver = std::function<void(CaptureMode)>;

    [[nodiscard]] CaptureMode mode() const { return mode_; }
    void setMode(CaptureMode mode);
    // Calls `observer` at once with the current mode and again on every change.
    void observeMode(ModeObserver observer);

    std::vector<DisplayInfo> displays;

private:
    CaptureMode mode_ = CaptureMode::rectangle;
    std::vector<ModeObserver> observers_;
};

// What a mode button does: fullscreen captures at once and is never stored.
enum class ModeButtonAction { setMode, captureActiveScreen };
[[nodiscard]] ModeButtonAction modeButtonAction(CaptureMode mode);
[[nodiscard]] bool modeButtonSelected(CaptureMode button, CaptureMode current);

struct DisplayMenuItem {
    enum class Kind { activeScreen, display, allDisplays, divider };
    Kind kind = Kind::divider;
    std::string title;           // empty for a divider
    std::uint32_t displayID = 0; // for `display`
    friend bool operator==(const DisplayMenuItem&, const DisplayMenuItem&) = default;
};

// The toolbar's display menu; empty (no menu at all) with fewer than two displays.
[[nodiscard]] std::vector<DisplayMenuItem>
displayMenuItems(const std::vector<DisplayInfo>& displays);

} // namespace velloq::capture
