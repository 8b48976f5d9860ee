#include "capture/CaptureMode.h"

namespace velloq::capture {

const char* label(CaptureMode mode) {
    switch (mode) {
    case CaptureMode::rectangle:
        return "Rectangle";
    case CaptureMode::freeform:
        return "Freeform";
    case CaptureMode::window:
        return "Window";
    case CaptureMode::fullscreen:
        return "Fullscreen";
    }
    return "";
}

const char* symbol(CaptureMode mode) {
    switch (mode) {
    case CaptureMode::rectangle:
        return "rectangle.dashed";
    case CaptureMode::freeform:
        return "lasso";
    case CaptureMode::window:
        return "macwindow";
    case CaptureMode::fullscreen:
        return "display";
    }
    return "";
}

int rawValue(CaptureMode mode) {
    return static_cast<int>(mode);
}

std::optional<CaptureMode> captureModeFromRaw(int raw) {
    for (CaptureMode mode : allCaptureModes) {
        if (rawValue(mode) == raw) {
            return mode;
        }
    }
    return std::nullopt;
}

void CaptureToolbarModel::setMode(CaptureMode mode) {
    if (mode == mode_) {
        return;
    }
    mode_ = mode;
    // Copied, so an observer may add another while being told.
    const auto observers = observers_;
    for (const auto& observer : observers) {
        observer(mode_);
    }
}

void CaptureToolbarModel::observeMode(ModeObserver observer) {
    observers_.push_back(std::move(observer));
    observers_.back()(mode_);
}

ModeButtonAction modeButtonAction(CaptureMode mode) {
    return mode == CaptureMode::fullscreen ? ModeButtonAction::captureActiveScreen
                                           : ModeButtonAction::setMode;
}

bool modeButtonSelected(CaptureMode button, CaptureMode current) {
    return button != CaptureMode::fullscreen && button == current;
}

std::vector<DisplayMenuItem> displayMenuItems(const std::vector<DisplayInfo>& displays) {
    using Kind = DisplayMenuItem::Kind;
    std::vector<DisplayMenuItem> items;
    if (displays.size() < 2) {
        return items;
    }
    items.push_back({Kind::activeScreen, "Active screen", 0});
    items.push_back({});
    for (const DisplayInfo& display : displays) {
        items.push_back({Kind::display,
                         display.isPrimary ? display.name + " (Primary)" : display.name,
                         display.id});
    }
    items.push_back({});
    items.push_back({Kind::allDisplays, "All displays", 0});
    return items;
}

} // namespace velloq::capture
