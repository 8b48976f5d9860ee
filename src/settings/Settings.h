#pragma once

// The user's settings: one reader per key, each applying its own default.
// Readers go to the store every time, so a change takes effect at the next use.

#include "platform/DefaultsStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace velloq::settings {

inline constexpr std::string_view editBeforeUploadKey = "editBeforeUpload";
inline constexpr std::string_view playSoundKey = "playSound";
inline constexpr std::string_view recordMicOnKey = "recordMicOn";
inline constexpr std::string_view recordMicDeviceNameKey = "recordMicDeviceName";
inline constexpr std::string_view recordShowCursorKey = "recordShowCursor";
inline constexpr std::string_view recordHighlightClicksKey = "recordHighlightClicks";
inline constexpr std::string_view recordResolutionKey = "recordResolution";
inline constexpr std::string_view recordFrameRateKey = "recordFrameRate";
inline constexpr std::string_view recordCountdownKey = "recordCountdown";
inline constexpr std::string_view recordOpenInBrowserKey = "recordOpenInBrowser";

using platform::DefaultsStore;

bool editBeforeUpload(const DefaultsStore& store);
bool playSound(const DefaultsStore& store);
bool recordMicOn(const DefaultsStore& store);
bool recordShowCursor(const DefaultsStore& store);
bool recordHighlightClicks(const DefaultsStore& store);
bool recordCountdown(const DefaultsStore& store);
bool recordOpenInBrowser(const DefaultsStore& store);
int recordFrameRate(const DefaultsStore& store);
// The stored text ("720p", "1080p", "Source", ...); "1080p" when missing.
std::string recordResolution(const DefaultsStore& store);
// The output height cap: 720, 1080, or none for "Source" and any other text.
std::optional<int> recordHeightCap(const DefaultsStore& store);
// The preferred microphone's name; empty or missing means no preference.
std::optional<std::string> recordMicDeviceName(const DefaultsStore& store);

} // namespace velloq::settings
