#pragma once

// Collects the power of what a capture thread hears until the main thread
// reads it, so that no audio data crosses threads: only two numbers do.

#include "platform/Microphones.h"

#include <mutex>

namespace velloq::recording {

class PowerMeter {
public:
    // Capture thread.
    void add(const platform::AudioBlock& block);
    // Main thread: the average power since the last read in dB full scale;
    // silence when nothing arrived since (a stalled or unplugged microphone
    // must not leave the meter standing).
    double take();

private:
    std::mutex mutex_;
    double sumOfSquares_ = 0;
    std::size_t count_ = 0;
};

} // namespace velloq::recording
