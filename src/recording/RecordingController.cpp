#include "recording/RecordingController.h"

#include "platform/Log.h"
#include "recording/RecordingControllerImpl.h"
#include "settings/Settings.h"

#include <cstdlib>
#include <iostream>

namespace velloq::recording {
namespace {

using Field = RecordingUIModel::Field;
using namespace std::chrono_literals;

std::function<RecordingDependencies()>& sharedFactory() {
    static std::function<RecordingDependencies()> factory;
    return factory;
}

} // namespace

void RecordingController::configureShared(std::function<RecordingDependencies()> make) {
    sharedFactory() = std::move(make);
}

RecordingController& RecordingController::shared() {
    static RecordingController* instance = [] {
        if (!sharedFactory()) {
            std::cerr << "Velloq: the recording controller was used before it was configured\n";
            std::abort();
        }
        return new RecordingController(sharedFactory()()); // lives until the process ends
    }();
    return *instance;
}

RecordingController::Impl::Impl(RecordingController& controller, RecordingDependencies dependencies)
    : owner(controller), model(controller.model_), deps(std::move(dependencies)),
      self(std::make_shared<RecordingController*>(&controller)) {}

RecordingController::RecordingController(RecordingDependencies dependencies)
    : impl_(std::make_unique<Impl>(*this, std::move(dependencies))) {}

RecordingController::~RecordingController() {
    impl_->cancellables.clear();
    impl_->self.reset();
}

void RecordingController::Impl::call(const std::function<void()>& action) {
    if (action) {
        action();
    }
}

void RecordingController::Impl::banner(Severity severity, std::string_view message) {
    if (deps.showBanner) {
        deps.showBanner(severity, "Velloq", message);
    }
}

void RecordingController::beginRecordFlow() {
    if (state_ != RecordingState::idle) {
        return;
    }
    auto& d = impl_->deps;
    if (d.screenRecordingPermitted && !d.screenRecordingPermitted()) {
        logLine("Velloq: record hotkey pressed but Screen Recording not granted");
        Impl::call(d.requestScreenRecording);
        Impl::call(d.refreshPermissions);
        return;
    }
    state_ = RecordingState::preRecord;
    model_.setPhase(RecordingPhase::preRecord);
    model_.setElapsed(0);
    model_.setCollapsed(false);
    model_.setMicOn(settings::recordMicOn(*d.settings));
    impl_->refreshMicDevices();
    impl_->cancellables.clear();
    impl_->showPreRecordBar();
    impl_->updateMicMonitor();
    impl_->cancellables.push_back(model_.observe(impl_->weakly([](RecordingController& c, Field f) {
        if (f == Field::micOn || f == Field::selectedDevice) {
            c.impl_->updateMicMonitor();
        }
    })));
}

void RecordingController::Impl::refreshMicDevices() {
    auto list = deps.listMicrophones ? deps.listMicrophones() : platform::MicrophoneList{};
    std::vector<std::string> names;
    for (const auto& device : list.devices) {
        names.push_back(device.name);
    }
    model.setDevices(std::move(names));
    model.setSelectedDevice(
        preferredMicrophone(list, settings::recordMicDeviceName(*deps.settings)));
    micDevices = std::move(list.devices);
    if (micDevices.empty()) {
        model.setMicOn(false);
    }
}

void RecordingController::Impl::updateMicMonitor() {
    const int selected = model.selectedDevice();
    if (owner.state_ == RecordingState::preRecord && model.micOn() && selected >= 0 &&
        static_cast<std::size_t>(selected) < micDevices.size() && deps.startMicMonitor) {
        deps.startMicMonitor(
            micDevices[static_cast<std::size_t>(selected)].id,
            weakly([](RecordingController& c, double level) { c.model_.setMicLevel(level); }));
        return;
    }
    call(deps.stopMicMonitor);
    model.setMicLevel(0);
}

void RecordingController::Impl::present(RecordingPanel& panel, bool alignRight, bool takeKeyboard) {
    const auto screens = deps.screens ? deps.screens() : std::vector<PanelScreen>{};
    const auto pointer = deps.pointer ? deps.pointer() : std::nullopt;
    panel.present(panelOrigin(screens, pointer, panel.fittingSize().width, alignRight),
                  takeKeyboard);
}

void RecordingController::Impl::relayoutOn(std::unique_ptr<RecordingPanel> Impl::*slot,
                                           bool alignRight, std::vector<Field> fields) {
    cancellables.push_back(model.observe(weakly([=](RecordingController& c, Field f) {
        if (std::find(fields.begin(), fields.end(), f) == fields.end()) {
            return;
        }
        // After the views have taken the change in.
        c.impl_->deps.mainQueue->post(c.impl_->weakly([=](RecordingController& later) {
            if (auto& panel = (*later.impl_).*slot) {
                later.impl_->present(*panel, alignRight, false);
            }
        }));
    })));
}

void RecordingController::Impl::showPreRecordBar() {
    preRecordPanel =
        deps.panels->preRecordBar(model,
                                  {weakly([](RecordingController& c) { c.startPressed(); }),
                                   weakly([](RecordingController& c) { c.cleanup(); })},
                                  weakly([](RecordingController& c) { c.cleanup(); }));
    present(*preRecordPanel, false, true);
    relayoutOn(&Impl::preRecordPanel, false, {Field::micOn, Field::selectedDevice, Field::mode});
}

void RecordingController::startPressed() {
    if (state_ != RecordingState::preRecord) {
        return;
    }
    Impl::call(impl_->deps.stopMicMonitor);
    impl_->cancellables.clear();
    impl_->preRecordPanel.reset();
    if (model_.mode() != RecordingMode::full) {
        state_ = RecordingState::selecting;
        if (!impl_->deps.beginSelection) {
            cleanup();
            return;
        }
        impl_->deps.beginSelection(
            model_.mode(), impl_->weakly([](RecordingController& c, ScreenRecorder::Target target) {
                c.beginCountIn(target);
            }),
            impl_->weakly([](RecordingController& c) {
                if (c.state_ == RecordingState::selecting) {
                    c.cleanup();
                }
            }));
        return;
    }
    auto target = impl_->fullScreenTarget();
    if (!target) {
        cleanup();
        return;
    }
    beginCountIn(*target);
}

std::optional<ScreenRecorder::Target> RecordingController::Impl::fullScreenTarget() {
    const auto screens = deps.screens ? deps.screens() : std::vector<PanelScreen>{};
    if (screens.empty()) {
        return std::nullopt;
    }
    const auto pointer = deps.pointer ? deps.pointer() : std::nullopt;
    const PanelScreen* chosen = &screens.front();
    for (const auto& screen : screens) {
        if (pointer && screen.frame.contains(*pointer)) {
            chosen = &screen;
            break;
        }
    }
    if (!chosen->displayID) {
        return std::nullopt;
    }
    return ScreenRecorder::Target::display(*chosen->displayID);
}

void RecordingController::beginCountIn(const ScreenRecorder::Target& target) {
    if (state_ != RecordingState::preRecord && state_ != RecordingState::selecting) {
        return;
    }
    pendingTarget_ = target;
    if (!settings::recordCountdown(*impl_->deps.settings)) {
        beginRecording();
        return;
    }
    state_ = RecordingState::countIn;
    model_.setPhase(RecordingPhase::countIn);
    model_.setCountdown(3);
    impl_->countInPanel =
        impl_->deps.panels->countIn(model_, impl_->weakly([](RecordingController& c) {
            if (c.state_ == RecordingState::countIn) {
                c.cleanup();
            }
        }));
    impl_->present(*impl_->countInPanel, true, true);
    auto& clock = *impl_->deps.clock;
    impl_->countInTimer = platform::ScopedTimer(
        clock, clock.scheduleRepeating(
                   1s, impl_->weakly([](RecordingController& c) { c.impl_->countInTick(); })));
}

void RecordingController::Impl::countInTick() {
    model.setCountdown(model.countdown() - 1);
    if (model.countdown() < 1) {
        countInTimer.cancel();
        countInPanel.reset();
        owner.beginRecording();
    }
}

} // namespace velloq::recording
