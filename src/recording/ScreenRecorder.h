#pragma once

// Records one display, one region of a display or one window, optionally
// with one microphone, into a fragmented MPEG-4 stream: every segment goes
// to a temporary file and, at the same moment, to `onSegment`. Pause and
// resume leave no gap in the output; `onStop` tells when the source went away.
//
// start, pause, resume and stop are called from one (the main) thread.
// Pictures and audio arrive on their capture threads and are handled one at
// a time under one lock, which plays the part of the recorder's serial queue.

#include "common/Expected.h"
#include "platform/MediaWriter.h"
#include "platform/Microphones.h"
#include "platform/Screens.h"
#include "platform/ScreenStream.h"
#include "recording/RecordingTimeline.h"
#include "recording/SegmentFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::recording {

enum class RecorderError {
    alreadyRecording,
    noDisplay,
    noWindow,
    writerFailed,
    fileFailed,    // the temporary file could not be created
    captureFailed, // the screen stream could not start
};

class ScreenRecorder {
public:
    struct Region {
        double x = 0; // points from the display's top-left corner
        double y = 0;
        double width = 0;
        double height = 0;
    };
    struct Target {
        enum class Kind { display, window };
        Kind kind = Kind::display;
        std::uint32_t id = 0;
        std::optional<Region> region; // display targets only

        static Target display(std::uint32_t id, std::optional<Region> region = std::nullopt) {
            return {Kind::display, id, region};
        }
        static Target window(std::uint32_t id) { return {Kind::window, id, std::nullopt}; }
    };
    struct Services {
        platform::Screens& screens;
        platform::ScreenStreams& streams;
        platform::Microphones& microphones;
        platform::MediaEncoding& encoding;
        std::filesystem::path temporaryFolder = std::filesystem::temp_directory_path();
    };

    explicit ScreenRecorder(Services services);
    ~ScreenRecorder();
    ScreenRecorder(const ScreenRecorder&) = delete;
    ScreenRecorder& operator=(const ScreenRecorder&) = delete;

    // Called on the capture's thread when the source stops by itself.
    std::function<void(const platform::ScreenStreamError&)> onStop;
    // Receives every segment on the thread that encoded it; cleared by stop.
    void setOnSegment(std::function<void(std::string_view)> onSegment);

    // `micDevice` empty: the default microphone. Returns once capture runs;
    // on failure everything it made is released and the recorder is idle.
    Expected<void, RecorderError> start(const Target& target, bool mic,
                                        const std::string& micDevice, bool showsCursor,
                                        int frameRate, int maxHeight, bool sourceResolution);
    void pause();
    void resume();
    // The temporary file when the writer completed it; never fails. The
    // recorder is idle again afterwards.
    std::optional<std::filesystem::path> stop();

    // The last recording's file.
    std::optional<std::filesystem::path> outputURL() const;

private:
    struct Plan {
        platform::ScreenStreamSettings stream;
        double pixelWidth = 0;
        double pixelHeight = 0;
    };
    Expected<Plan, RecorderError> plan(const Target& target);
    void onFrame(const platform::ScreenFrame& frame);
    void onAudio(const platform::AudioBlock& block);
    void onEncoded(std::string_view segment);
    void apply(const RecordingTimeline::Step& step, const float* samples, std::size_t count);
    void reset();

    Services services_;
    std::unique_ptr<platform::ScreenStream> stream_;
    std::unique_ptr<platform::AudioStream> microphone_;

    mutable std::mutex mutex_; // everything below
    std::unique_ptr<platform::MediaWriter> writer_;
    std::optional<SegmentFile> file_;
    std::optional<std::filesystem::path> outputURL_;
    std::optional<RecordingTimeline> timeline_;
    std::function<void(std::string_view)> onSegment_;
    std::vector<float> heldAudio_;
};

std::string describe(RecorderError error);

} // namespace velloq::recording
