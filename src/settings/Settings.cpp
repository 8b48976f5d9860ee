#include "settings/Settings.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

namespace velloq::settings {
namespace {

// A switch that defaults to on: only a stored boolean can turn it off.
bool onUnlessStoredFalse(const DefaultsStore& store, std::string_view key) {
    const auto value = store.object(key);
    return value && value->is_boolean() ? value->get<bool>() : true;
}

} // namespace

bool editBeforeUpload(const DefaultsStore& store) {
    return onUnlessStoredFalse(store, editBeforeUploadKey);
}
bool playSound(const DefaultsStore& store) {
    return onUnlessStoredFalse(store, playSoundKey);
}
bool recordMicOn(const DefaultsStore& store) {
    return onUnlessStoredFalse(store, recordMicOnKey);
}
bool recordShowCursor(const DefaultsStore& store) {
    return onUnlessStoredFalse(store, recordShowCursorKey);
}
bool recordHighlightClicks(const DefaultsStore& store) {
    return onUnlessStoredFalse(store, recordHighlightClicksKey);
}
bool recordCountdown(const DefaultsStore& store) {
    return onUnlessStoredFalse(store, recordCountdownKey);
}

bool recordOpenInBrowser(const DefaultsStore& store) {
    return store.boolean(recordOpenInBrowserKey);
}

int recordFrameRate(const DefaultsStore& store) {
    constexpr int fallback = 30;
    const auto value = store.object(recordFrameRateKey);
    if (!value || !value->is_number_integer()) {
        return fallback;
    }
    // An integer too large for an int is as unusable as a string.
    if (value->is_number_unsigned()) {
        const auto wide = value->get<std::uint64_t>();
        return wide > std::numeric_limits<int>::max() ? fallback : static_cast<int>(wide);
    }
    const auto wide = value->get<std::int64_t>();
    if (wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max()) {
        return fallback;
    }
    return static_cast<int>(wide);
}

std::string recordResolution(const DefaultsStore& store) {
    return store.string(recordResolutionKey).value_or("1080p");
}

std::optional<int> recordHeightCap(const DefaultsStore& store) {
    const auto resolution = recordResolution(store);
    if (resolution == "720p") {
        return 720;
    }
    if (resolution == "1080p") {
        return 1080;
    }
    return std::nullopt;
}

std::optional<std::string> recordMicDeviceName(const DefaultsStore& store) {
    return store.string(recordMicDeviceNameKey);
}

} // namespace velloq::settings
