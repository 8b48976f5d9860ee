#pragma once

// Lets the user pick what to record in region or window mode: one selection
// window per screen, and the pick handed back as a recorder target. Escape, a
// right click or a region under 8 points cancels. Every exit closes the
// windows before the caller's callback runs. Main thread only.

#include "geometry/ScreenList.h"
#include "recording/RecordingUIModel.h"
#include "recording/ScreenRecorder.h"

#include <functional>
#include <optional>
#include <QPointer>
#include <vector>

namespace velloq::recording {

class RecordingSelectionView;

class RecordingSelectionController {
public:
    static RecordingSelectionController& shared();

    // Does nothing while a selection is already running.
    void begin(RecordingMode mode, std::function<void(ScreenRecorder::Target)> onCommit,
               std::function<void()> onCancel);
    void closeAll();

    [[nodiscard]] bool selecting() const { return !windows_.empty(); }
    // The open windows, in screen order (for tests).
    [[nodiscard]] std::vector<RecordingSelectionView*> windows() const;

    // Where the pointer is, in global points; the toolkit's cursor when unset.
    std::function<std::optional<geometry::Point>(const std::vector<geometry::Screen>&)> pointer;

private:
    RecordingSelectionController() = default;
    void finish(const std::function<void()>& then);

    std::vector<QPointer<RecordingSelectionView>> windows_;
};

} // namespace velloq::recording
