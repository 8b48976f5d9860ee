#include "recording/RecordingUIModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velloq::recording {

const char* modeLabel(RecordingMode mode) {
    switch (mode) {
    case RecordingMode::region:
        return "Region";
    case RecordingMode::window:
        return "Window";
    case RecordingMode::full:
        return "Full screen";
    }
    return "";
}

const char* modeSymbol(RecordingMode mode) {
    switch (mode) {
    case RecordingMode::region:
        return "rectangle.dashed";
    case RecordingMode::window:
        return "macwindow";
    case RecordingMode::full:
        return "display";
    }
    return "";
}

namespace {

template <class T> bool assign(T& field, T value) {
    if (field == value) {
        return false;
    }
    field = std::move(value);
    return true;
}

} // namespace

void RecordingUIModel::setMode(RecordingMode value) {
    if (assign(mode_, value)) {
        changed(Field::mode);
    }
}
void RecordingUIModel::setMicOn(bool value) {
    if (assign(micOn_, value)) {
        changed(Field::micOn);
    }
}
void RecordingUIModel::setDevices(std::vector<std::string> value) {
    if (assign(devices_, std::move(value))) {
        changed(Field::devices);
    }
}
void RecordingUIModel::setSelectedDevice(int value) {
    if (assign(selectedDevice_, value)) {
        changed(Field::selectedDevice);
    }
}
void RecordingUIModel::setMicLevel(double value) {
    if (assign(micLevel_, std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0)) {
        changed(Field::micLevel);
    }
}
void RecordingUIModel::setPhase(RecordingPhase value) {
    if (assign(phase_, value)) {
        changed(Field::phase);
    }
}
void RecordingUIModel::setCountdown(int value) {
    if (assign(countdown_, value)) {
        changed(Field::countdown);
    }
}
void RecordingUIModel::setElapsed(double value) {
    if (assign(elapsed_, value)) {
        changed(Field::elapsed);
    }
}
void RecordingUIModel::setCollapsed(bool value) {
    if (assign(collapsed_, value)) {
        changed(Field::collapsed);
    }
}

std::string RecordingUIModel::elapsedText() const {
    const long long t =
        elapsed_ > 0 && std::isfinite(elapsed_) ? static_cast<long long>(elapsed_) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", t / 60, t % 60);
    return text;
}

std::string RecordingUIModel::selectedDeviceName() const {
    if (selectedDevice_ >= 0 && static_cast<std::size_t>(selectedDevice_) < devices_.size()) {
        return devices_[static_cast<std::size_t>(selectedDevice_)];
    }
    return "Default microphone";
}

RecordingUIModel::Subscription RecordingUIModel::observe(Observer observer) {
    auto shared = std::make_shared<Observer>(std::move(observer));
    std::erase_if(observers_, [](const auto& weak) { return weak.expired(); });
    observers_.push_back(shared);
    return Subscription(std::move(shared));
}

void RecordingUIModel::changed(Field field) {
    // An observer may subscribe or unsubscribe others while it runs.
    const auto snapshot = observers_;
    for (const auto& weak : snapshot) {
        if (auto observer = weak.lock()) {
            (*observer)(field);
        }
    }
}

} // namespace velloq::recording
