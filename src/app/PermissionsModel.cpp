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
    const bool accessibility = permissions.accessibility();
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
