#pragma once

// The recording panels as real windows: each view in a RecPanel, placed in
// global points through the work area's conversion.

#include "platform/DefaultsStore.h"
#include "recording/RecordingPanels.h"

namespace velloq::recording {

class QtRecordingPanels final : public RecordingPanels {
public:
    explicit QtRecordingPanels(platform::DefaultsStore& settings) : settings_(settings) {}

    std::unique_ptr<RecordingPanel> preRecordBar(RecordingUIModel& model, PreRecordActions actions,
                                                 std::function<void()> onEscape) override;
    std::unique_ptr<RecordingPanel> countIn(RecordingUIModel& model,
                                            std::function<void()> onEscape) override;
    std::unique_ptr<RecordingPanel> recordingBar(RecordingUIModel& model,
                                                 RecordingBarActions actions,
                                                 std::function<void()> onEscape) override;

private:
    platform::DefaultsStore& settings_;
};

} // namespace velloq::recording
