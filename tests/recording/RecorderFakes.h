#pragma once

// In-memory stand-ins for the recorder's screen stream, microphones and
// media writer: the test delivers pictures and audio by hand and sees what
// the writer was asked to do.

#include "platform/MediaWriter.h"
#include "platform/Microphones.h"
#include "platform/ScreenStream.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::testing {

class FakeScreenStreams final : public platform::ScreenStreams {
public:
    Expected<std::unique_ptr<platform::ScreenStream>, platform::ScreenStreamError>
    open(const platform::ScreenStreamSettings& settings,
         std::function<void(const platform::ScreenFrame&)> onFrame,
         std::function<void(const platform::ScreenStreamError&)> onStopped) override;

    // Delivers a 4 × 2 picture stamped `nanos`, as the stream's thread would.
    void deliver(std::int64_t nanos);

    std::optional<platform::ScreenStreamError> fail;
    std::optional<platform::ScreenStreamSettings> opened;
    int alive = 0;

private:
    std::function<void(const platform::ScreenFrame&)> onFrame_;
};

class FakeMicrophones final : public platform::Microphones {
public:
    platform::MicrophoneList list() override { return {}; }
    Expected<std::unique_ptr<platform::AudioStream>, platform::MicrophoneError>
    open(const std::string& deviceId, int sampleRate,
         std::function<void(const platform::AudioBlock&)> onBlock) override;

    void deliver(std::int64_t nanos, std::size_t count = 441);

    int alive = 0;

private:
    std::function<void(const platform::AudioBlock&)> onBlock_;
};

class FakeEncoding final : public platform::MediaEncoding {
public:
    Expected<std::unique_ptr<platform::MediaWriter>, platform::MediaWriterError>
    create(const platform::VideoSettings& video,
           const std::optional<platform::AudioSettings>& audio,
           platform::SegmentSink sink) override;

    bool refuse = false;
    bool failFinish = false;
    std::size_t segmentBytes = 0; // each segment padded to this size
    std::optional<platform::VideoSettings> video;
    bool audio = false;
    std::vector<std::string> calls; // "video 0", "audio 40" (output ms)
    int alive = 0;
};

} // namespace velloq::testing
