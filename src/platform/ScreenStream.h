#pragma once

// A live stream of one area of the screen or one window, grabbed on a thread
// of its own at the frame rate. Frames are delivered only when the picture
// changed (or, while it is still, once a second so that a viewer keeps
// moving), stamped on std::chrono::steady_clock like the microphone's blocks.

#include "common/Expected.h"
#include "platform/Screens.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>

namespace velloq::platform {

struct ScreenFrame {
    const std::uint8_t* pixels = nullptr; // as platform::Picture: 0x..RRGGBB words
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    std::int64_t captureNanos = 0; // steady_clock, ns since its epoch
};

struct WindowSource {
    std::uint32_t id = 0;
};

struct ScreenStreamSettings {
    // Root pixels of an area on one monitor, or a window wherever it goes.
    std::variant<PixelRect, WindowSource> source;
    int frameRate = 30;
    bool showsCursor = true;
};

struct ScreenStreamError {
    enum class Kind { noConnection, noWindow, grabFailed, windowClosed };
    Kind kind = Kind::grabFailed;
    std::string detail; // for the log only
};

// Capture ends when this is destroyed.
class ScreenStream {
public:
    virtual ~ScreenStream() = default;
    // Ends capture and returns once no frame is being delivered. When the
    // picture has been still since the last frame, that frame is delivered
    // once more stamped now, so the recording lasts until this moment.
    virtual void stop() = 0;
};

class ScreenStreams {
public:
    virtual ~ScreenStreams() = default;
    // Starts grabbing. `onFrame` runs on the stream's thread; the frame's
    // pixels are valid only during the call. `onStopped` runs there too,
    // once, when the source went away (the stream then delivers nothing more).
    virtual Expected<std::unique_ptr<ScreenStream>, ScreenStreamError>
    open(const ScreenStreamSettings& settings, std::function<void(const ScreenFrame&)> onFrame,
         std::function<void(const ScreenStreamError&)> onStopped) = 0;
};

} // namespace velloq::platform
