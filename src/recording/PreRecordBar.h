#pragma once

// The bar before a recording: brand, the three modes, the microphone with
// its device menu and live level, the cursor-and-clicks options, Cancel and
// "Start recording". It writes only the model fields of its own controls and
// the two cursor settings.

#include "platform/DefaultsStore.h"
#include "recording/BarView.h"
#include "recording/CursorClicksPopover.h"
#include "recording/RecordingPanels.h"
#include "recording/RecordingUIModel.h"

#include <memory>
#include <QPointer>

class QMenu;

namespace velloq::recording {

class LevelMeter;

class PreRecordBar final : public BarView {
public:
    PreRecordBar(RecordingUIModel& model, platform::DefaultsStore& settings,
                 PreRecordActions actions, bool translucent);
    ~PreRecordBar() override;

    // The device menu's label as shown ("Default", "Microphone off" or the device).
    QString deviceLabel() const;
    bool deviceChevron() const { return !model_.devices().empty(); }
    bool cursorOpen() const { return cursorOpen_; }
    void setCursorOpen(bool open);
    LevelMeter& levelMeter() { return *meter_; }
    CursorClicksPopover* popover() const { return popover_; }
    // Opens the device menu as a click on it does.
    void openDeviceMenu();

protected:
    std::vector<BarPiece> row() override;

private:
    BarPiece brand() const;
    BarPiece modeTile(RecordingMode mode);
    BarPiece microphoneGroup();
    BarPiece cursorButton();

    RecordingUIModel& model_;
    platform::DefaultsStore& settings_;
    PreRecordActions actions_;
    LevelMeter* meter_; // a child
    bool cursorOpen_ = false;
    QPointer<CursorClicksPopover> popover_;
    QPointer<QMenu> menu_;
    RecordingUIModel::Subscription watch_;
};

} // namespace velloq::recording
