#include "recording/RecorderFakes.h"

namespace velloq::testing {
namespace {

// Counts its living instances in `alive`, so a test sees what was released.
template <class Base> class Alive : public Base {
public:
    explicit Alive(int& alive) : alive_(alive) { ++alive_; }
    ~Alive() override { --alive_; }

private:
    int& alive_;
};

class FakeStream final : public Alive<platform::ScreenStream> {
public:
    using Alive::Alive;
    void stop() override {}
};

// Emits one segment per call, so the order of the stream is visible.
class FakeWriter final : public Alive<platform::MediaWriter> {
public:
    FakeWriter(FakeEncoding& owner, platform::SegmentSink sink)
        : Alive(owner.alive), owner_(owner), sink_(std::move(sink)) {}

    void stageVideo(const platform::Picture&) override {}
    bool appendVideo(std::int64_t nanos) override { return record("video", nanos); }
    bool appendAudio(const float*, std::size_t, std::int64_t nanos) override {
        return record("audio", nanos);
    }
    Status finish() override {
        status_ = owner_.failFinish ? Status::failed : Status::completed;
        return status_;
    }
    Status status() const override { return status_; }

private:
    bool record(const char* kind, std::int64_t nanos) {
        const std::string call = std::string(kind) + " " + std::to_string(nanos / 1'000'000);
        owner_.calls.push_back(call);
        std::string segment = "[" + call + "]";
        if (segment.size() < owner_.segmentBytes) {
            segment.resize(owner_.segmentBytes, char('a' + owner_.calls.size() % 26));
        }
        sink_(segment);
        return true;
    }

    FakeEncoding& owner_;
    platform::SegmentSink sink_;
    Status status_ = Status::writing;
};

} // namespace

Expected<std::unique_ptr<platform::ScreenStream>, platform::ScreenStreamError>
FakeScreenStreams::open(const platform::ScreenStreamSettings& settings,
                        std::function<void(const platform::ScreenFrame&)> onFrame,
                        std::function<void(const platform::ScreenStreamError&)>) {
    if (fail) {
        return Unexpected(*fail);
    }
    opened = settings;
    onFrame_ = std::move(onFrame);
    return std::unique_ptr<platform::ScreenStream>(std::make_unique<FakeStream>(alive));
}

void FakeScreenStreams::deliver(std::int64_t nanos) {
    static const std::uint32_t pixels[8] = {};
    onFrame_({reinterpret_cast<const std::uint8_t*>(pixels), 4, 2, 16, nanos});
}

Expected<std::unique_ptr<platform::AudioStream>, platform::MicrophoneError>
FakeMicrophones::open(const std::string&, int,
                      std::function<void(const platform::AudioBlock&)> onBlock) {
    onBlock_ = std::move(onBlock);
    return std::unique_ptr<platform::AudioStream>(
        std::make_unique<Alive<platform::AudioStream>>(alive));
}

void FakeMicrophones::deliver(std::int64_t nanos, std::size_t count) {
    const std::vector<float> samples(count, 0.25f);
    onBlock_({samples.data(), samples.size(), nanos});
}

Expected<std::unique_ptr<platform::MediaWriter>, platform::MediaWriterError>
FakeEncoding::create(const platform::VideoSettings& settings,
                     const std::optional<platform::AudioSettings>& audioSettings,
                     platform::SegmentSink sink) {
    if (refuse) {
        return Unexpected(platform::MediaWriterError::refused);
    }
    video = settings;
    audio = audioSettings.has_value();
    return std::unique_ptr<platform::MediaWriter>(
        std::make_unique<FakeWriter>(*this, std::move(sink)));
}

} // namespace velloq::testing
