#pragma once

// The bar while recording: the live dot and elapsed time, pause or resume,
// Stop, discard and collapse; collapsed, only the time, a compact Stop and
// expand remain.

#include "recording/BarView.h"
#include "recording/RecordingPanels.h"
#include "recording/RecordingUIModel.h"

namespace velloq::recording {

class LiveDot;

class RecordingBar final : public BarView {
public:
    RecordingBar(RecordingUIModel& model, RecordingBarActions actions, bool translucent);

    LiveDot& liveDot() { return *dot_; }

protected:
    std::vector<BarPiece> row() override;
    double cornerRadius() const override { return model_.collapsed() ? 999 : 16; }

private:
    BarPiece timerBlock();
    double reservedTimeWidth() const;
    BarPiece iconButton(const char* glyph, QColor colour, bool highlighted,
                        std::function<void()> action, const char* tooltip);
    static void run(const std::function<void()>& action);

    RecordingUIModel& model_;
    RecordingBarActions actions_;
    LiveDot* dot_; // a child
    double timeWidth_ = 0;
    RecordingUIModel::Subscription watch_;
};

} // namespace velloq::recording
