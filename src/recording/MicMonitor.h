#pragma once

// The live level of one microphone for the pre-record bar: opened on its own,
// apart from any recording, and read every 80 ms on the main thread. A
// microphone that cannot be opened gives no level at all and no message.

#include "net/TaskPool.h"
#include "platform/Clock.h"
#include "platform/Microphones.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velloq::recording {

class PowerMeter;

// The microphones to offer, in the sound server's order, with its default.
platform::MicrophoneList listMicrophones(platform::Microphones& microphones);

class MicMonitor {
public:
    static constexpr std::chrono::milliseconds pollInterval{80};

    // Opening a device may wait on the sound server, so it happens on `pool`
    // and never holds up the main thread.
    explicit MicMonitor(platform::Microphones& microphones, TaskPool& pool = TaskPool::shared());
    ~MicMonitor();
    MicMonitor(const MicMonitor&) = delete;
    MicMonitor& operator=(const MicMonitor&) = delete;

    // Main thread. Stops what ran before, then monitors `deviceId` (empty: the
    // default source); `onLevel` gets a level in [0, 1] on the main thread
    // every pollInterval once the device is open.
    void start(const std::string& deviceId, std::function<void(double)> onLevel);
    // Main thread; idempotent. No level arrives after it returns.
    void stop();

private:
    void opened(std::uint64_t generation, std::shared_ptr<platform::AudioStream> stream);
    void poll();

    platform::Microphones& microphones_;
    TaskPool& pool_;
    std::shared_ptr<MicMonitor*> self_; // the weak handle closures hold
    std::uint64_t generation_ = 0;      // which start() an opened device belongs to
    std::function<void(double)> onLevel_;
    std::shared_ptr<PowerMeter> meter_;
    std::shared_ptr<platform::AudioStream> stream_;
    platform::ScopedTimer timer_;
};

} // namespace velloq::recording
