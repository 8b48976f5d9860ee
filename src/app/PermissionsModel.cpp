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
    auto& permissions = platform::permissions();
    const bool screen = permissions.screenRecording();
    const bool microphone = permissions.microphone();
    apply(screen, microphone, permissions.accessibility());
}

void PermissionsModel::refreshInBackground(
    const std::function<void(std::function<void()>)>& runOnWorker) {
    if (checking_) {
        return;
    }
    checking_ = true;
    runOnWorker([] {
        auto& permissions = platform::permissions();
        const bool screen = permissions.screenRecording();
        const bool microphone = permissions.microphone();
        const bool accessibility = permissions.accessibility();
        platform::mainQueue().post([screen, microphone, accessibility] {
            auto& model = shared();
            model.checking_ = false;
            model.apply(screen, microphone, accessibility);
        });
    });
}

void PermissionsModel::apply(bool screen, bool microphone, bool accessibility) {
    const bool changed =
        screen != screenRecording_ || microphone != microphone_ || accessibility != accessibility_;
    screenRecording_ = screen;
    microphone_ = microphone;
    accessibility_ = accessibility;
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
