#include "app/PermissionsModel.h"

#include "platform/Platform.h"

namespace velloq {

PermissionsModel& PermissionsModel::shared() {
    // Created on first use and never destroyed, like every shared instance.
    static auto* model = [] {
        auto* created = new PermissionsModel();
        created->refresh();
        return created;
    }();
    return *model;
}

void PermissionsModel::refresh() {
    apply(Flags::read());
}

void PermissionsModel::refreshInBackground(
    const std::function<void(std::function<void()>)>& runOnWorker) {
    if (checking_) {
        return;
    }
    checking_ = true;
    runOnWorker([] {
        platform::mainQueue().post([flags = Flags::read()] {
            auto& model = shared();
            model.checking_ = false;
            model.apply(flags);
        });
    });
}

PermissionsModel::Flags PermissionsModel::Flags::read() {
    auto& permissions = platform::permissions();
    Flags flags;
    flags.screenRecording = permissions.screenRecording();
    flags.microphone = permissions.microphone();
    flags.accessibility = permissions.accessibility();
    return flags;
}

void PermissionsModel::apply(const Flags& flags) {
    const bool changed = flags.screenRecording != screenRecording_ ||
                         flags.microphone != microphone_ || flags.accessibility != accessibility_;
    screenRecording_ = flags.screenRecording;
    microphone_ = flags.microphone;
    accessibility_ = flags.accessibility;
    if (changed) {
        for (const auto& observer : observers_) {
            observer();
        }
    }
}

void PermissionsModel::requestScreenRecording() {
    platform::permissions().requestScreenRecording();
    refresh();
}

void PermissionsModel::observe(std::function<void()> onChange) {
    observers_.push_back(std::move(onChange));
}

} // namespace velloq
