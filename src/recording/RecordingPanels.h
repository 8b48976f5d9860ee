#pragma once

// The three floating panels of a recording flow, as the controller sees
// them: made for the model, sized by their content, placed in global points.

#include "geometry/Geometry.h"

#include <functional>
#include <memory>

namespace velloq::recording {

class RecordingUIModel;

class RecordingPanel {
public:
    virtual ~RecordingPanel() = default; // hides the panel
    // The size its content wants now, in points.
    virtual geometry::Size fittingSize() = 0;
    // Shows it (or moves it) with its bottom-left corner at `origin`, at its
    // fitting size. `takeKeyboard` makes it the focused window so Escape
    // reaches it; otherwise it appears without taking focus.
    virtual void present(geometry::Point origin, bool takeKeyboard) = 0;
};

struct PreRecordActions {
    std::function<void()> onStart;
    std::function<void()> onCancel;
};

struct RecordingBarActions {
    std::function<void()> onStop;
    std::function<void()> onPause;
    std::function<void()> onResume;
    std::function<void()> onDiscard;
};

class RecordingPanels {
public:
    virtual ~RecordingPanels() = default;
    // Each panel calls `onEscape` when Escape is pressed in it. Not shown yet.
    virtual std::unique_ptr<RecordingPanel> preRecordBar(RecordingUIModel& model,
                                                         PreRecordActions actions,
                                                         std::function<void()> onEscape) = 0;
    virtual std::unique_ptr<RecordingPanel> countIn(RecordingUIModel& model,
                                                    std::function<void()> onEscape) = 0;
    virtual std::unique_ptr<RecordingPanel> recordingBar(RecordingUIModel& model,
                                                         RecordingBarActions actions,
                                                         std::function<void()> onEscape) = 0;
};

} // namespace velloq::recording
