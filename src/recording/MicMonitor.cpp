#include "recording/MicMonitor.h"

#include "platform/Platform.h"
#include "recording/MicLevel.h"
#include "recording/PowerMeter.h"

namespace velloq::recording {
namespace {

// Plenty for a meter and the rate most sources run at, so nothing resamples.
constexpr int meterSampleRate = 48000;

} // namespace

platform::MicrophoneList listMicrophones(platform::Microphones& microphones) {
    return microphones.list();
}

MicMonitor::MicMonitor(platform::Microphones& microphones, TaskPool& pool)
    : microphones_(microphones), pool_(pool), self_(std::make_shared<MicMonitor*>(this)) {}

MicMonitor::~MicMonitor() {
    stop();
}

void MicMonitor::start(const std::string& deviceId, std::function<void(double)> onLevel) {
    stop();
    onLevel_ = std::move(onLevel);
    meter_ = std::make_shared<PowerMeter>();
    // Looked up here, on the main thread, for the worker to use.
    auto& mainQueue = platform::mainQueue();
    auto& microphones = microphones_;
    std::weak_ptr<MicMonitor*> weak = self_;
    pool_.submit(
        [&mainQueue, &microphones, weak, generation = generation_, deviceId, meter = meter_] {
            auto opened =
                microphones.open(deviceId, meterSampleRate,
                                 [meter](const platform::AudioBlock& block) { meter->add(block); });
            // Failing to open is silent by design: the meter just shows nothing.
            std::shared_ptr<platform::AudioStream> stream =
                opened ? std::shared_ptr<platform::AudioStream>(std::move(*opened)) : nullptr;
            mainQueue.post([weak, generation, stream = std::move(stream)]() mutable {
                if (auto self = weak.lock()) {
                    (*self)->opened(generation, std::move(stream));
                }
            });
        });
}

void MicMonitor::opened(std::uint64_t generation, std::shared_ptr<platform::AudioStream> stream) {
    // A device opened for a start() that has since been stopped or replaced
    // closes again as `stream` goes.
    if (generation != generation_ || !stream) {
        return;
    }
    stream_ = std::move(stream);
    meter_->take(); // the level starts from now, not from while the device opened
    auto& clock = platform::clock();
    std::weak_ptr<MicMonitor*> weak = self_;
    timer_ = platform::ScopedTimer(clock, clock.scheduleRepeating(pollInterval, [weak] {
        if (auto self = weak.lock()) {
            (*self)->poll();
        }
    }));
}

void MicMonitor::poll() {
    if (!meter_ || !onLevel_) {
        return;
    }
    // One mono channel; the rule averages however many a device has.
    const float channels[] = {static_cast<float>(meter_->take())};
    // A copy: the callback may stop or restart this monitor.
    const auto onLevel = onLevel_;
    onLevel(levelFromChannelPowers(channels));
}

void MicMonitor::stop() {
    ++generation_;
    timer_.cancel();
    // Closing the stream ends its capture thread: no sample arrives after this.
    stream_.reset();
    meter_.reset();
    onLevel_ = nullptr;
}

} // namespace velloq::recording
